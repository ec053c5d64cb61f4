// Stand-ins for the web speech services: an HTTP server on 127.0.0.1 that
// answers as a test tells it and records what it received, and real MP3 audio
// made with sox. Shared by the unit and the end-to-end tests.
#pragma once

#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A 440 Hz tone of that length, encoded by sox; empty when sox failed.
inline std::string makeToneMp3(int milliseconds) {
    std::string path = ::testing::TempDir() + "quillon-tone-" + std::to_string(getpid()) + ".mp3";
    char length[32];  // seconds with a decimal point, whatever the locale
    snprintf(length, sizeof length, "%d.%03d", milliseconds / 1000, milliseconds % 1000);
    std::string command = "sox -n -r 22050 -c 1 '" + path + "' synth " + length + " sine 440 2>/dev/null";
    if (std::system(command.c_str()) != 0) return std::string();
    std::string mp3 = readBytes(path);
    std::filesystem::remove(path);
    return mp3;
}

// Half a second of the tone, made once per test run.
inline const std::string& toneMp3() {
    static const std::string bytes = makeToneMp3(500);
    return bytes;
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

inline void answerWith(httplib::Response& response, int status, const std::string& body, const char* type) {
    response.status = status;
    response.set_content(body, type);
}
