// Lemonfox.ai and OpenAI share one request shape: a JSON body with a bearer
// key, answered with MP3 audio or a JSON error object.
#include <memory>
#include <nlohmann/json.hpp>

#include "SpeechStandIns.h"
#include "speech/LemonFoxManager.h"
#include "speech/OpenAIManager.h"

namespace {

using nlohmann::json;

const char* const KEY_ERROR = R"({"error":{"message":"Incorrect API key provided: wrong","type":"invalid_request_error"}})";

// Answers like both services: audio for the right key, their error object otherwise.
void answerLikeService(const httplib::Request& request, httplib::Response& response) {
    if (request.get_header_value("Authorization") == "Bearer good-key")
        answerWith(response, 200, toneMp3(), "audio/mpeg");
    else
        answerWith(response, 401, KEY_ERROR, "application/json");
}

struct Service {
    const char* name;
    const char* urlVariable;
    std::function<std::unique_ptr<TTSBase>()> make;
};

class JsonSpeechService : public SpeechTest, public ::testing::WithParamInterface<Service> {
protected:
    void SetUp() override {
        SpeechTest::SetUp();
        service = GetParam().make();
        service->apiKey = "good-key";
    }

    std::unique_ptr<TTSBase> service;
};

TEST_P(JsonSpeechService, GoodRequestWritesDecodableMp3AndCountsTheText) {
    StandInServer server(answerLikeService);
    ScopedEnv url(GetParam().urlVariable, server.url());
    const std::string text = "Say \"again\"; it's $(pwd) \\ 100%";
    ASSERT_TRUE(service->createWaveFile(audioFile, 2, text));

    EXPECT_EQ(readBytes(audioFile), toneMp3());
    EXPECT_GT(decodedSamples(audioFile), 10000u);
    EXPECT_EQ(service->totalCharacters.load(), text.size());
    EXPECT_EQ(service->totalApiCalls.load(), 1u);
    EXPECT_TRUE(boxes().empty());

    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].path, "/v1/audio/speech");
    EXPECT_EQ(requests[0].header("Authorization"), "Bearer good-key");
    EXPECT_EQ(requests[0].header("Content-Type"), "application/json");
    json body = json::parse(requests[0].body);
    EXPECT_EQ(body["input"], text);
    EXPECT_EQ(body["voice"], service->m_Voices[2].id);
}

struct Broken {
    const char* name;
    Answer answer;
    std::string reason;  // what the message says after the service's prefix
};

TEST_P(JsonSpeechService, EveryFailureIsLoggedShownAndNeverWrittenAsAudio) {
    const std::string mp3Size = std::to_string(toneMp3().size());
    const Broken cases[] = {
        {"rejected key", [](auto&, auto& r) { answerWith(r, 401, KEY_ERROR, "application/json"); },
         "Incorrect API key provided: wrong"},
        {"bad voice", [](auto&, auto& r) { answerWith(r, 400, R"({"error":{"message":"Invalid voice"}})", "application/json"); },
         "Invalid voice"},
        {"error without message", [](auto&, auto& r) { answerWith(r, 400, R"({"error":"bad"})", "application/json"); },
         "Unknown"},
        {"error object, success status", [](auto&, auto& r) { answerWith(r, 200, R"({"detail":"x"})", "audio/mpeg"); },
         "Unknown"},
        {"broken json", [](auto&, auto& r) { answerWith(r, 500, "{\"error\": {\"message\": ", "application/json"); },
         "Unknown"},
        {"html error page", [](auto&, auto& r) { answerWith(r, 500, "<html>Bad gateway</html>", "text/html"); },
         "HTTP status 500, text/html, 24 bytes that are not MP3 audio"},
        {"html, success status", [](auto&, auto& r) { answerWith(r, 200, "<html>Login</html>", "text/html"); },
         "HTTP status 200, text/html, 18 bytes that are not MP3 audio"},
        {"audio with wrong type", [](auto&, auto& r) { answerWith(r, 200, toneMp3(), "text/plain"); },
         "HTTP status 200, text/plain, " + mp3Size + " bytes that are not MP3 audio"},
        {"audio with server error", [](auto&, auto& r) { answerWith(r, 500, toneMp3(), "audio/mpeg"); },
         "HTTP status 500, audio/mpeg, " + mp3Size + " bytes that are not MP3 audio"},
        {"empty", [](auto&, auto& r) { answerWith(r, 200, "", "audio/mpeg"); },
         "HTTP status 200, audio/mpeg, 0 bytes that are not MP3 audio"},
        {"truncated", [](auto&, auto& r) { answerTruncated(r); }, "Transferred a partial file"},
        {"dripping", [](auto&, auto& r) { answerDripping(r); }, "Timeout was reached"},
        {"too late", [](auto&, auto& r) { answerTooLate(r); }, "Timeout was reached"},
    };
    const std::string prefix = std::string(GetParam().name) + " manager encountered an error generating text to speech: ";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Sim::get().log.clear();
        std::filesystem::remove(audioFile);
        StandInServer server(c.answer);
        ScopedEnv url(GetParam().urlVariable, server.url());
        auto started = std::chrono::steady_clock::now();
        EXPECT_FALSE(service->createWaveFile(audioFile, 0, "Hello"));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1400));
        EXPECT_TRUE(logged(prefix + c.reason)) << (logMessages().empty() ? "" : logMessages().back());
        EXPECT_EQ(boxes(), Boxes({{"ERROR", prefix + c.reason}}));
        EXPECT_FALSE(std::filesystem::exists(audioFile));
    }
    EXPECT_EQ(service->totalCharacters.load(), 0u);
    EXPECT_EQ(service->totalApiCalls.load(), 0u);
}

TEST_P(JsonSpeechService, NoServiceAndAnUnwritableFileFail) {
    const std::string name = GetParam().name;
    {
        ScopedEnv url(GetParam().urlVariable, deadUrl());
        EXPECT_FALSE(service->createWaveFile(audioFile, 0, "Hello"));
        EXPECT_TRUE(logged(name + " manager encountered an error generating text to speech: Couldn't connect to server"));
        EXPECT_EQ(boxes().size(), 1u);
    }
    StandInServer server(answerLikeService);
    ScopedEnv url(GetParam().urlVariable, server.url());
    std::string unwritable = pluginFolder + "missing folder/tts.mp3";
    EXPECT_FALSE(service->createWaveFile(unwritable, 0, "Hello"));
    EXPECT_EQ(boxes(), Boxes({{"ERROR", name + " Manager was unable to open : " + unwritable}}));
    EXPECT_FALSE(service->createWaveFile(audioFile, static_cast<int>(service->m_Voices.size()), "Hello"));
    EXPECT_EQ(server.requests().size(), 1u);  // no request for a voice that does not exist
    EXPECT_EQ(service->totalApiCalls.load(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Services, JsonSpeechService,
                         ::testing::Values(Service{"Lemonfox.ai", "QUILLON_LEMONFOX_URL",
                                                   [] { return std::make_unique<LemonFoxManager>(); }},
                                           Service{"OpenAI", "QUILLON_OPENAI_URL",
                                                   [] { return std::make_unique<OpenAIManager>(); }}),
                         [](const auto& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 if (isalnum(static_cast<unsigned char>(*c))) name += *c;
                             return name;
                         });

using JsonSpeechBodies = SpeechTest;

// The fields each service expects beyond the text and the voice.
TEST_F(JsonSpeechBodies, LemonfoxAsksForMp3InTheVoicesLanguage) {
    StandInServer server(answerLikeService);
    ScopedEnv url("QUILLON_LEMONFOX_URL", server.url());
    LemonFoxManager lemonfox;
    lemonfox.apiKey = "good-key";
    ASSERT_TRUE(lemonfox.createWaveFile(audioFile, 20, "Bonjour"));  // en-gb Alice
    json body = json::parse(server.requests().at(0).body);
    EXPECT_EQ(body, json({{"voice", "Alice"}, {"response_format", "mp3"}, {"input", "Bonjour"}, {"language", "en-gb"}}));
}

TEST_F(JsonSpeechBodies, OpenAISendsModelInstructionsAndOnlyASpeedItAccepts) {
    StandInServer server(answerLikeService);
    ScopedEnv url("QUILLON_OPENAI_URL", server.url());
    OpenAIManager openai;
    openai.apiKey = "good-key";
    for (float speed : {0.25f, 1.5f, 4.0f, 0.2f, 5.0f}) {
        Voice clone;
        clone.isClone = true;
        clone.id = "ash";
        clone.m_Name = "Fast ash";
        clone.instructions = "Hurried.";
        clone.speed = speed;
        clone.ttsIndex = static_cast<int>(openai.m_Voices.size());
        openai.m_Voices.push_back(clone);
        ASSERT_TRUE(openai.createWaveFile(audioFile, clone.ttsIndex, "Roger"));
    }
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 5u);
    json body = json::parse(requests[1].body);
    EXPECT_EQ(body, json({{"model", "gpt-4o-mini-tts-2025-03-20"},
                          {"voice", "ash"},
                          {"input", "Roger"},
                          {"instructions", "Hurried."},
                          {"speed", 1.5}}));
    EXPECT_EQ(json::parse(requests[0].body)["speed"], 0.25);
    EXPECT_EQ(json::parse(requests[2].body)["speed"], 4.0);
    EXPECT_FALSE(json::parse(requests[3].body).contains("speed"));
    EXPECT_FALSE(json::parse(requests[4].body).contains("speed"));
}

TEST_F(JsonSpeechBodies, TextThatIsNotUtf8IsStillSent) {
    StandInServer server(answerLikeService);
    ScopedEnv url("QUILLON_OPENAI_URL", server.url());
    OpenAIManager openai;
    openai.apiKey = "good-key";
    ASSERT_TRUE(openai.createWaveFile(audioFile, 0, "Z\xfcrich"));  // Latin-1
    EXPECT_EQ(json::parse(server.requests().at(0).body)["input"], "Z\xef\xbf\xbdrich");
}

}  // namespace
