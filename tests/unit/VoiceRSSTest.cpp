#include "SpeechStandIns.h"
#include "Settings.h"
#include "speech/VoiceRSS.h"

namespace {

// Answers like the service: audio for the right key, its plain-text error otherwise.
void answerLikeVoiceRSS(const httplib::Request& request, httplib::Response& response) {
    if (request.get_param_value("key") == "good-key")
        answerWith(response, 200, toneMp3(), "audio/mpeg");
    else
        answerWith(response, 200, "ERROR: The API key is not available!", "text/plain; charset=utf-8");
}

class VoiceRSS : public SpeechTest {
protected:
    VoiceRSSManager service;

    void SetUp() override {
        SpeechTest::SetUp();
        service.apiKey = "good-key";
    }
};

TEST_F(VoiceRSS, GoodRequestWritesDecodableMp3AndCountsTheText) {
    StandInServer server(answerLikeVoiceRSS);
    ScopedEnv url("QUILLON_VOICERSS_URL", server.url());
    const std::string text = "Cleared to land runway 2-7 & hold short; \"ok\" = 100% sure, Zürich";
    ASSERT_TRUE(service.createWaveFile(audioFile, 8, text));  // en-gb Alice

    EXPECT_EQ(readBytes(audioFile), toneMp3());
    EXPECT_GT(decodedSamples(audioFile), 10000u);
    EXPECT_EQ(service.totalCharacters.load(), text.size());
    EXPECT_EQ(service.totalApiCalls.load(), 1u);
    EXPECT_TRUE(boxes().empty());

    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const RecordedRequest& sent = requests[0];
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.path, "/");
    EXPECT_EQ(sent.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(sent.params.size(), 6u);
    EXPECT_EQ(sent.param("key"), "good-key");
    EXPECT_EQ(sent.param("c"), "MP3");
    EXPECT_EQ(sent.param("f"), "22khz_16bit_mono");
    EXPECT_EQ(sent.param("hl"), "en-gb");
    EXPECT_EQ(sent.param("v"), "Alice");
    EXPECT_EQ(sent.param("src"), text);  // apostrophes, quotes and the rest arrive as written
}

TEST_F(VoiceRSS, SynthesisOnAWorkerThreadQueuesItsLogLines) {
    StandInServer server(answerLikeVoiceRSS);
    ScopedEnv url("QUILLON_VOICERSS_URL", server.url());
    service.apiKey = "wrong";
    bool result = true;
    std::thread worker([&] { result = service.createWaveFile(audioFile, 0, "Hello"); });
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_FALSE(logged("Error generating VoiceRRS audio: ERROR: The API key is not available!"));
    writePendingLogLines();  // as the flight loop does every frame
    runFrames(1);            // the message box, shown in the log until windows exist
    EXPECT_TRUE(logged("Error generating VoiceRRS audio: ERROR: The API key is not available!"));
    EXPECT_TRUE(logged("ERROR: VoiceRSS manager encountered an error generating text to speech: ERROR: The API key "
                       "is not available!"));
}

struct BrokenReply {
    const char* name;
    Answer answer;
    std::string logLine;  // after the service's prefix
    std::string box;
};

TEST_F(VoiceRSS, EveryFailureIsLoggedShownAndNeverWrittenAsAudio) {
    const std::string unexpected = "Unexpected response type generating VoiceRSS audio: ";
    const std::string unexpectedBox = "VoiceRSS manager encountered an unexpected response type generating audio: ";
    const std::string keyError = "ERROR: The API key is not available!";
    const BrokenReply cases[] = {
        {"rejected key", [&](auto&, auto& r) { answerWith(r, 200, keyError, "text/plain; charset=utf-8"); },
         "Error generating VoiceRRS audio: " + keyError,
         "VoiceRSS manager encountered an error generating text to speech: " + keyError},
        {"html error page", [](auto&, auto& r) { answerWith(r, 500, "<html>Internal error</html>", "text/html"); },
         unexpected + "text/html", unexpectedBox + "text/html"},
        {"json", [](auto&, auto& r) { answerWith(r, 200, "{\"error\":1}", "application/json"); },
         unexpected + "application/json", unexpectedBox + "application/json"},
        {"audio type, html body", [](auto&, auto& r) { answerWith(r, 200, "<html>hi</html>", "audio/mpeg"); },
         unexpected + "HTTP status 200, audio/mpeg, 15 bytes that are not MP3 audio",
         unexpectedBox + "HTTP status 200, audio/mpeg, 15 bytes that are not MP3 audio"},
        {"audio with server error", [](auto&, auto& r) { answerWith(r, 503, toneMp3(), "audio/mpeg"); },
         unexpected + "HTTP status 503, audio/mpeg, " + std::to_string(toneMp3().size()) +
             " bytes that are not MP3 audio",
         unexpectedBox + "HTTP status 503, audio/mpeg, " + std::to_string(toneMp3().size()) +
             " bytes that are not MP3 audio"},
        {"truncated", [](auto&, auto& r) { answerTruncated(r); }, unexpected + "Read", unexpectedBox + "Read"},
        {"dripping", [](auto&, auto& r) { answerDripping(r); }, unexpected + "Read", unexpectedBox + "Read"},
        {"too late", [](auto&, auto& r) { answerTooLate(r); }, unexpected + "Read", unexpectedBox + "Read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Sim::get().log.clear();
        StandInServer server(c.answer);
        ScopedEnv url("QUILLON_VOICERSS_URL", server.url());
        auto started = std::chrono::steady_clock::now();
        EXPECT_FALSE(service.createWaveFile(audioFile, 0, "Hello"));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1400));
        EXPECT_TRUE(logged(c.logLine)) << (logMessages().empty() ? "" : logMessages().back());
        EXPECT_EQ(boxes(), Boxes({{"ERROR", c.box}}));
        EXPECT_FALSE(std::filesystem::exists(audioFile));
    }
    EXPECT_EQ(service.totalCharacters.load(), 0u);
    EXPECT_EQ(service.totalApiCalls.load(), 0u);
}

TEST_F(VoiceRSS, NoServiceAndAnUnwritableFileFail) {
    {
        ScopedEnv url("QUILLON_VOICERSS_URL", deadUrl());
        EXPECT_FALSE(service.createWaveFile(audioFile, 0, "Hello"));
        EXPECT_TRUE(logged("Unexpected response type generating VoiceRSS audio: Connection")) << logMessages().back();
        EXPECT_EQ(boxes().size(), 1u);
    }
    StandInServer server(answerLikeVoiceRSS);
    ScopedEnv url("QUILLON_VOICERSS_URL", server.url());
    std::string unwritable = pluginFolder + "missing folder/tts.mp3";
    EXPECT_FALSE(service.createWaveFile(unwritable, 0, "Hello"));
    EXPECT_EQ(boxes(), Boxes({{"ERROR", "VoiceRSS Manager was unable to open : " + unwritable}}));
    EXPECT_EQ(service.totalApiCalls.load(), 0u);
}

TEST_F(VoiceRSS, StartsWithTheLegacyKeyFromTheSettings) {
    gSettings.voiceRSSAPIKey = "legacy";
    VoiceRSSManager migrated;
    gSettings.voiceRSSAPIKey.clear();
    EXPECT_EQ(migrated.apiKey, "legacy");
    EXPECT_TRUE(migrated.isEnabled());
}

}  // namespace
