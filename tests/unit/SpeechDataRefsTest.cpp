// The speech datarefs and the command other plug-ins and cockpit scripts use
// to have a text spoken.
#include <cstring>

#include "Commands.h"
#include "SpeechDataRefs.h"
#include "VoiceFixtures.h"
#include "host/XplmCommands.h"
#include "host/XplmData.h"

namespace {

class SpeechDataRefs : public VoiceTest {
protected:
    void SetUp() override {
        VoiceTest::SetUp();
        gSettings.voiceRSSAPIKey = "rss-key";  // VoiceRSS's 62 voices, voice 0 in every role
        registerCommands();
        registerSpeechDataRefs();
    }
    void TearDown() override {
        unregisterSpeechDataRefs();
        unregisterCommands();
        removeVoiceManager();
        VoiceTest::TearDown();
    }

    static XPLMDataRef ref(const char* name) {
        XPLMDataRef found = XPLMFindDataRef(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static std::string text(const char* name) { return sim::getDataRefText(name, -1); }
    static void writeText(const std::string& bytes, int offset = 0) {
        XPLMSetDatab(ref("Orvan/Quillon/tts_txt"), const_cast<char*>(bytes.data()), offset,
                     static_cast<int>(bytes.size()));
    }
};

TEST_F(SpeechDataRefs, TheTextIsWhatWasWrittenReadZeroPadded) {
    XPLMDataRef txt = ref("Orvan/Quillon/tts_txt");
    writeText(std::string("Hello\0world", 11));
    EXPECT_EQ(text("Orvan/Quillon/tts_txt"), "Hello");
    EXPECT_EQ(XPLMGetDatab(txt, nullptr, 0, 0), 5000);
    char buffer[100];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(XPLMGetDatab(txt, buffer, 0, 8), 8);
    EXPECT_EQ(std::string(buffer, 8), std::string("Hello\0\0\0", 8));
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(XPLMGetDatab(txt, buffer, 4950, 100), 50);
    EXPECT_EQ(std::string(buffer, 50), std::string(50, '\0'));
    EXPECT_EQ(XPLMGetDatab(txt, buffer, 5000, 100), 0);
    EXPECT_EQ(XPLMGetDatab(txt, buffer, -1, 100), 0);

    writeText("Tower", 10);  // the bytes written become the whole text
    EXPECT_EQ(text("Orvan/Quillon/tts_txt"), "Tower");
    writeText(std::string(6000, 'a'));
    EXPECT_EQ(text("Orvan/Quillon/tts_txt").size(), 5000u);
    writeText(std::string(100, 'b'), 4990);
    EXPECT_EQ(text("Orvan/Quillon/tts_txt"), std::string(10, 'b'));
    writeText("ignored", 5000);
    EXPECT_EQ(text("Orvan/Quillon/tts_txt"), std::string(10, 'b'));
}

TEST_F(SpeechDataRefs, VoiceDelayAndDescription) {
    EXPECT_EQ(XPLMGetDatai(ref("Orvan/Quillon/tts_voice_index")), -1);  // the pilot
    EXPECT_EQ(text("Orvan/Quillon/tts_voice_description"), "English (Australia) - Zoe");
    EXPECT_EQ(XPLMGetDatab(ref("Orvan/Quillon/tts_voice_description"), nullptr, 0, 0), 300);
    EXPECT_EQ(XPLMGetDatai(ref("Orvan/Quillon/tts_voice_count")), 1);
    XPLMSetDatai(ref("Orvan/Quillon/tts_voice_index"), -2);
    EXPECT_EQ(XPLMGetDatai(ref("Orvan/Quillon/tts_voice_index")), -2);
    EXPECT_EQ(text("Orvan/Quillon/tts_voice_description"), "ERROR: Voice is not available");

    XPLMDataRef delay = ref("Orvan/Quillon/tts_play_delay_seconds");
    EXPECT_EQ(XPLMGetDataf(delay), 0.0f);
    for (float value : {5.0f, 61.0f, -1.0f}) XPLMSetDataf(delay, value);
    EXPECT_EQ(XPLMGetDataf(delay), 5.0f);
    XPLMSetDataf(delay, 60.0f);
    EXPECT_EQ(XPLMGetDataf(delay), 60.0f);
}

TEST_F(SpeechDataRefs, VoiceSetsAreChosenByIndex) {
    XPLMDataRef index = ref("Orvan/Quillon/voice_set_index");
    EXPECT_EQ(XPLMGetDatai(index), 0);
    EXPECT_EQ(text("Orvan/Quillon/voice_set_name"), "Default");
    XPLMSetDatai(index, 1);
    EXPECT_EQ(XPLMGetDatai(index), 0);
    getVoiceManager()->addVoiceSet(std::string(400, 'N'));
    XPLMSetDatai(index, 1);
    EXPECT_EQ(XPLMGetDatai(index), 1);
    EXPECT_EQ(text("Orvan/Quillon/voice_set_name"), std::string(299, 'N'));  // the last byte stays zero
}

TEST_F(SpeechDataRefs, TheCommandQueuesTheTextWithItsVoiceAndDelay) {
    XPLMCommandRef queue = XPLMFindCommand("Orvan/Quillon/Queue_Text_To_Speech");
    ASSERT_NE(queue, nullptr);
    XPLMDataRef status = ref("Orvan/Quillon/tts_play_status");
    XPLMCommandOnce(queue);  // no text yet
    EXPECT_EQ(XPLMGetDatai(status), 0);

    writeText("Ladies and gentlemen");
    XPLMSetDatai(ref("Orvan/Quillon/tts_voice_index"), 0);
    XPLMSetDataf(ref("Orvan/Quillon/tts_play_delay_seconds"), 2.5f);
    XPLMCommandBegin(queue);
    EXPECT_FALSE(getVoiceManager()->hasQueuedSpeech());  // carried out when the press ends
    XPLMCommandEnd(queue);
    ASSERT_TRUE(getVoiceManager()->hasQueuedSpeech());
    EXPECT_EQ(XPLMGetDatai(status), 1);
    const TextToSpeech& queued = getVoiceManager()->speechQueue.front();
    EXPECT_EQ(queued.text, "Ladies and gentlemen");
    EXPECT_EQ(queued.voiceIndex, 0);
    EXPECT_FLOAT_EQ(queued.delay, 2.5f);
    EXPECT_TRUE(queued.translateVoiceIndex);
}

}  // namespace
