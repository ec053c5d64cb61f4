#include "VoiceRSS.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "FixedVoices.h"
#include "Settings.h"
#include "ServiceRequest.h"
#include "common/Common.h"
#include "panels/MsgBox.h"

namespace {

// Runs `expire` once the time is up unless released first. The HTTP client
// only limits each wait on the socket; this limits the whole request.
class Deadline {
public:
    Deadline(std::chrono::milliseconds limit, std::function<void()> expire)
        : m_Thread([this, limit, expire = std::move(expire)] {
              setThreadName("QuillonDeadline");
              std::unique_lock<std::mutex> lock(m_Mutex);
              if (!m_Released.wait_for(lock, limit, [this] { return m_Done; })) expire();
          }) {}
    ~Deadline() {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_Done = true;
        }
        m_Released.notify_one();
        m_Thread.join();
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

private:
    std::mutex m_Mutex;
    std::condition_variable m_Released;
    bool m_Done = false;
    std::thread m_Thread;
};

// The form POST; throws std::invalid_argument for an address the client cannot use.
httplib::Result post(const TTSBase::Request& request, const std::string& text, bool& tooLarge) {
    const SpeechTimeouts& timeouts = speechTimeouts();
    httplib::Client client(serviceBaseUrl("QUILLON_VOICERSS_URL", "https://api.voicerss.org"));
    client.enable_server_certificate_verification(true);
    client.set_connection_timeout(std::chrono::milliseconds(timeouts.connectMilliseconds));
    client.set_read_timeout(std::chrono::milliseconds(timeouts.requestMilliseconds));
    client.set_write_timeout(std::chrono::milliseconds(timeouts.requestMilliseconds));

    httplib::Request form;
    form.method = "POST";
    form.path = "/";
    form.set_header("Content-Type", "application/x-www-form-urlencoded");
    form.body = httplib::detail::params_to_query_str({{"key", request.key},
                                                      {"c", "MP3"},
                                                      {"f", "22khz_16bit_mono"},
                                                      {"hl", request.voice.language_code},
                                                      {"v", request.voice.id},
                                                      {"src", text}});
    form.progress = [&tooLarge](uint64_t received, uint64_t) {
        tooLarge = received > MAX_SPEECH_REPLY_BYTES;
        return !tooLarge;
    };
    Deadline deadline(std::chrono::milliseconds(timeouts.requestMilliseconds), [&client] { client.stop(); });
    return client.send(form);
}

bool unexpectedResponse(const std::string& what) {
    sLogMsg("Unexpected response type generating VoiceRSS audio: %s", what.c_str());
    sMsgBox("ERROR", "VoiceRSS manager encountered an unexpected response type generating audio: %s", what.c_str());
    return false;
}

}  // namespace

VoiceRSSManager::VoiceRSSManager() {
    enabled = true;
    usesKey = true;
    apiKey = gSettings.voiceRSSAPIKey;
    appendFixedVoices(*this, {
        {"en-au", {"Zoe", "Isla", "Evie", "Jack"}},
        {"en-ca", {"Rose", "Clara", "Emma", "Mason"}},
        {"en-gb", {"Alice", "Nancy", "Lily", "Harry"}},
        {"en-in", {"Eka", "Jai", "Ajit"}},
        {"en-ie", {"Oran"}},
        {"en-us", {"Linda", "Amy", "Mary", "John", "Mike"}},
        {"fr-fr", {"Bette", "Iva", "Zola", "Axel"}},
        {"fr-ca", {"Emile", "Olivia", "Logan", "Felix"}},
        {"fr-ch", {"Theo"}},
        {"de-de", {"Hanna", "Lina", "Jonas"}},
        {"de-ch", {"Tim"}},
        {"de-at", {"Lukas"}},
        {"hi-in", {"Puja", "Kabir"}},
        {"it-it", {"Bria", "Mia", "Pietro"}},
        {"ja-jp", {"Hina", "Airi", "Fumi", "Akira"}},
        {"es-mx", {"Juana", "Silvia", "Teresa", "Jose"}},
        {"es-es", {"Camila", "Sofia", "Luna", "Diego"}},
        {"zh-cn", {"Luli", "Shu", "Chow", "Wang"}},
        {"zh-hk", {"Jia", "Xia", "Chen"}},
        {"zh-tw", {"Akemi", "Lin", "Lee"}},
    });
}

bool VoiceRSSManager::createWaveFile(const std::string& fileName, int voiceIndex, const std::string& text) {
    Request request;
    if (!takeRequest(voiceIndex, request)) return false;
    httplib::Result result{nullptr, httplib::Error::Unknown};
    bool tooLarge = false;
    try {
        result = post(request, text, tooLarge);
    } catch (const std::exception& e) {
        return unexpectedResponse(e.what());
    }
    if (!result)
        return unexpectedResponse(tooLarge ? replyTooLargeText() : httplib::to_string(result.error()));

    const httplib::Response& reply = result.value();
    std::string contentType = reply.get_header_value("Content-Type");
    if (contentType == "audio/mpeg") {
        if (reply.status != 200 || !isMp3Audio(reply.body))
            return unexpectedResponse(describeReply(reply.status, contentType, reply.body));
        if (!writeAudioFile(fileName, reply.body)) {
            std::string message = "VoiceRSS Manager was unable to open : " + fileName;
            logMsg(message.c_str());
            msgBox("ERROR", message);
            return false;
        }
        reportCharacterUsage(static_cast<int>(text.size()));
        return true;
    }
    if (contentType.find("text/plain") != std::string::npos) {
        sLogMsg("Error generating VoiceRRS audio: %s", reply.body.c_str());
        sMsgBox("ERROR", "VoiceRSS manager encountered an error generating text to speech: %s", reply.body.c_str());
        return false;
    }
    return unexpectedResponse(contentType);
}
