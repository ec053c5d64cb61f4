// Stand-ins for the speech services: HTTP servers on 127.0.0.1 that answer
// like the real ones, a fake AWS tool, real MP3 audio made with sox, and a
// fixture that collects message-box requests.
#pragma once

#include <httplib.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "HostFixture.h"
#include "audio/wave.h"
#include "panels/MsgBox.h"
#include "speech/ServiceRequest.h"

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Half a second of a 440 Hz tone, encoded by sox once per test run.
inline const std::string& toneMp3() {
    static const std::string bytes = [] {
        std::string path = ::testing::TempDir() + "quillon-tone-" + std::to_string(getpid()) + ".mp3";
        std::string command = "sox -n -r 22050 -c 1 '" + path + "' synth 0.5 sine 440 2>/dev/null";
        if (std::system(command.c_str()) != 0) return std::string();
        std::string mp3 = readBytes(path);
        std::filesystem::remove(path);
        return mp3;
    }();
    return bytes;
}

// The number of PCM samples the audio decoder gets from the file; 0 when it is not audio.
inline size_t decodedSamples(const std::string& path) {
    WaveData* wave = loadWaveData(path.c_str());
    const size_t samples = wave->data ? static_cast<size_t>(wave->size) / 2 : 0;
    freeWaveData(wave);
    return samples;
}

// Sets an environment variable for the scope's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_Name(name) {
        if (const char* old = getenv(name)) m_Old = old, m_Had = true;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_Had)
            setenv(m_Name.c_str(), m_Old.c_str(), 1);
        else
            unsetenv(m_Name.c_str());
    }

private:
    std::string m_Name, m_Old;
    bool m_Had = false;
};

struct RecordedRequest {
    std::string method, path, body;
    httplib::Headers headers;
    httplib::Params params;

    std::string header(const std::string& name) const {
        auto found = headers.find(name);
        return found == headers.end() ? std::string() : found->second;
    }
    std::string param(const std::string& name) const {
        auto found = params.find(name);
        return found == params.end() ? std::string() : found->second;
    }
};

using Answer = std::function<void(const httplib::Request&, httplib::Response&)>;

// An HTTP server on a free port of 127.0.0.1, answering every request with
// `answer` and recording what it received.
class StandInServer {
public:
    explicit StandInServer(Answer answer) : StandInServer(std::make_unique<httplib::Server>(), std::move(answer)) {}

    StandInServer(std::unique_ptr<httplib::Server> server, Answer answer) : m_Server(std::move(server)) {
        auto handle = [this, answer](const httplib::Request& request, httplib::Response& response) {
            {
                std::lock_guard<std::mutex> lock(m_Mutex);
                m_Requests.push_back({request.method, request.path, request.body, request.headers, request.params});
            }
            answer(request, response);
        };
        m_Server->Post(".*", handle);
        m_Server->Get(".*", handle);
        m_Port = m_Server->bind_to_any_port("127.0.0.1");
        m_Thread = std::thread([this] { m_Server->listen_after_bind(); });
        while (!m_Server->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~StandInServer() {
        m_Server->stop();
        m_Thread.join();
    }

    std::string url(const char* scheme = "http") const {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(m_Port);
    }
    std::vector<RecordedRequest> requests() const {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Requests;
    }

private:
    std::unique_ptr<httplib::Server> m_Server;
    int m_Port = 0;
    std::thread m_Thread;
    mutable std::mutex m_Mutex;
    std::vector<RecordedRequest> m_Requests;
};

// ---- broken replies every web service must survive ----------------------------

inline void answerWith(httplib::Response& response, int status, const std::string& body, const char* type) {
    response.status = status;
    response.set_content(body, type);
}

// Announces the whole MP3 and drops the connection halfway.
inline void answerTruncated(httplib::Response& response) {
    const std::string& mp3 = toneMp3();
    response.set_content_provider(mp3.size(), "audio/mpeg", [&mp3](size_t offset, size_t, httplib::DataSink& sink) {
        if (offset > 0) return false;
        sink.write(mp3.data(), mp3.size() / 2);
        return true;
    });
}

// Answers only after the client has given up.
inline void answerTooLate(httplib::Response& response) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    answerWith(response, 200, toneMp3(), "audio/mpeg");
}

// Sends the MP3 a few bytes at a time, each in time for the client's wait on
// the socket, the whole far beyond the request's overall limit.
inline void answerDripping(httplib::Response& response) {
    const std::string& mp3 = toneMp3();
    response.set_content_provider(mp3.size(), "audio/mpeg", [&mp3](size_t offset, size_t, httplib::DataSink& sink) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return sink.write(mp3.data() + offset, std::min<size_t>(64, mp3.size() - offset));
    });
}

// A port on which nothing listens.
inline std::string deadUrl() {
    int sock = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(sock, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length);
    close(sock);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

// ---- the test fixture --------------------------------------------------------

struct BoxRequest {
    std::string title, message;
    bool operator==(const BoxRequest& other) const { return title == other.title && message == other.message; }
};

inline void PrintTo(const BoxRequest& box, std::ostream* out) { *out << box.title << ": " << box.message; }

using Boxes = std::vector<BoxRequest>;

class SpeechTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_FALSE(toneMp3().empty()) << "sox could not make the MP3 fixture";
        getMsgBoxManager()->m_MsgBoxRequests.clear();
        m_SavedTimeouts = speechTimeouts();
        speechTimeouts().connectMilliseconds = 1000;
        speechTimeouts().requestMilliseconds = 600;
        speechTimeouts().enumerateMilliseconds = 600;
        audioFile = pluginFolder + "tts.mp3";
    }
    void TearDown() override {
        speechTimeouts() = m_SavedTimeouts;
        removeMsgBoxManager();
    }

    // The message boxes requested since the last call, in request order.
    Boxes boxes() {
        Boxes taken;
        MsgBoxRequest request;
        while (getMsgBoxManager()->m_MsgBoxRequests.pop_front(request)) taken.push_back({request.title, request.message});
        return taken;
    }

    std::string audioFile;

private:
    SpeechTimeouts m_SavedTimeouts;
};
