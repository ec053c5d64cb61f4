// A service reached over HTTPS must prove who it is: a stand-in with a
// certificate no authority signed gets no request and no audio is written.
#include <memory>

#include "SpeechStandIns.h"
#include "speech/LemonFoxManager.h"
#include "speech/OpenAIManager.h"
#include "speech/VoiceRSS.h"

namespace {

class SpeechTls : public SpeechTest {
protected:
    void SetUp() override {
        SpeechTest::SetUp();
        cert = simFolder + "cert.pem";
        key = simFolder + "key.pem";
        std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
                              "-addext subjectAltName=IP:127.0.0.1 -keyout '" + key + "' -out '" + cert +
                              "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << "openssl could not make a certificate";
    }
    std::string cert, key;
};

TEST_F(SpeechTls, SelfSignedServiceIsRefused) {
    StandInServer server(std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str()),
                         [](auto&, auto& r) { answerWith(r, 200, toneMp3(), "audio/mpeg"); });
    ScopedEnv voiceRssUrl("QUILLON_VOICERSS_URL", server.url("https"));
    ScopedEnv lemonfoxUrl("QUILLON_LEMONFOX_URL", server.url("https"));
    ScopedEnv openaiUrl("QUILLON_OPENAI_URL", server.url("https"));
    VoiceRSSManager voiceRss;
    LemonFoxManager lemonfox;
    OpenAIManager openai;
    for (TTSBase* service : std::initializer_list<TTSBase*>{&voiceRss, &lemonfox, &openai}) {
        SCOPED_TRACE(service->getServiceName());
        service->apiKey = "good-key";
        EXPECT_FALSE(service->createWaveFile(audioFile, 0, "Hello"));
        EXPECT_FALSE(std::filesystem::exists(audioFile));
    }
    EXPECT_TRUE(server.requests().empty());
    EXPECT_TRUE(logged("Unexpected response type generating VoiceRSS audio: SSLServerVerification"));
    EXPECT_TRUE(logged("Lemonfox.ai manager encountered an error generating text to speech: SSL peer certificate or "
                       "SSH remote key was not OK"));
    EXPECT_TRUE(logged("OpenAI manager encountered an error generating text to speech: SSL peer certificate or SSH "
                       "remote key was not OK"));
}

}  // namespace
