#include "CurlSpeech.h"

#include <curl/curl.h>

#include <memory>
#include <nlohmann/json.hpp>

#include "ServiceRequest.h"
#include "common/Common.h"
#include "panels/MsgBox.h"

namespace {

struct Reply {
    std::string body;
    bool tooLarge = false;
};

size_t appendBody(char* data, size_t size, size_t count, void* userdata) {
    auto* reply = static_cast<Reply*>(userdata);
    size_t bytes = size * count;
    if (reply->body.size() + bytes > MAX_SPEECH_REPLY_BYTES) {
        reply->tooLarge = true;
        return 0;  // ends the transfer
    }
    reply->body.append(data, bytes);
    return bytes;
}

// The service's own explanation in an error object, or "Unknown".
std::string errorMessage(const std::string& body) {
    nlohmann::json j = nlohmann::json::parse(body, nullptr, false);
    if (j.is_object() && j.contains("error") && j["error"].is_object() && j["error"].contains("message") &&
        j["error"]["message"].is_string())
        return j["error"]["message"].get<std::string>();
    return "Unknown";
}

bool fail(const std::string& service, const std::string& reason) {
    std::string text = service + " manager encountered an error generating text to speech: " + reason;
    logMsg(text.c_str());
    msgBox("ERROR", text);
    return false;
}

bool isAudioContentType(const std::string& type) {
    return type.empty() || type.compare(0, 6, "audio/") == 0 || type.compare(0, 24, "application/octet-stream") == 0;
}

}  // namespace

bool postSpeechRequest(const std::string& service, const std::string& url, const std::string& apiKey,
                       const std::string& body, const std::string& fileName) {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) return false;
    curl_slist* headers = nullptr;
    for (const std::string& line : {"Authorization: Bearer " + apiKey, std::string("Content-Type: application/json")}) {
        curl_slist* longer = curl_slist_append(headers, line.c_str());
        if (!longer) {
            curl_slist_free_all(headers);
            return fail(service, "out of memory");
        }
        headers = longer;
    }
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headerList(headers, curl_slist_free_all);

    Reply reply;
    const SpeechTimeouts& timeouts = speechTimeouts();
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, timeouts.connectMilliseconds);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, timeouts.requestMilliseconds);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);  // timeouts without signals: this runs on worker threads
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);

    CURLcode result = curl_easy_perform(h);
    if (reply.tooLarge) return fail(service, replyTooLargeText());
    if (result != CURLE_OK) return fail(service, curl_easy_strerror(result));
    if (!reply.body.empty() && reply.body[0] == '{') return fail(service, errorMessage(reply.body));

    long status = 0;
    char* type = nullptr;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &type);
    std::string contentType = type ? type : "";
    if (status != 200 || !isAudioContentType(contentType) || !isMp3Audio(reply.body))
        return fail(service, describeReply(status, contentType, reply.body));

    if (!writeAudioFile(fileName, reply.body)) {
        std::string text = service + " Manager was unable to open : " + fileName;
        logMsg(text.c_str());
        msgBox("ERROR", text);
        return false;
    }
    return true;
}
