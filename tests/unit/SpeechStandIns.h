// Stand-ins for the speech services: broken replies of their servers, a port
// where none listens, decoding of what they wrote, and a fixture that collects
// message-box requests.
#pragma once

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
#include "StandInServer.h"
#include "audio/wave.h"
#include "panels/MsgBox.h"
#include "speech/ServiceRequest.h"

// The number of PCM samples the audio decoder gets from the file; 0 when it is not audio.
inline size_t decodedSamples(const std::string& path) {
    WaveData* wave = loadWaveData(path.c_str());
    const size_t samples = wave->data ? static_cast<size_t>(wave->size) / 2 : 0;
    freeWaveData(wave);
    return samples;
}

// ---- broken replies every web service must survive ----------------------------

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
