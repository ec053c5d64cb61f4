// The speech queue heard on the stand-in simulator's sound bus: one request
// synthesised at a time on a worker thread, played on the speech channel in
// queue order, after its delay; and Zuruvo ZEV's calls synthesised on the
// caller's thread.
#include <fstream>

#include "SimState.h"
#include "VoiceFixtures.h"
#include "audio/FmodManager.h"
#include "audio/Sound.h"

namespace {

struct Event {
    double time;
    std::string text;
};

class SpeechQueue : public VoiceTest {
protected:
    void SetUp() override {
        VoiceTest::SetUp();
        startSpeechOutput(true);
    }
    void TearDown() override {
        manager.reset();
        stopSoundSystem();
        useSoundBus(true);
        VoiceTest::TearDown();
    }

    void startSpeechOutput(bool onSoundBus) {
        stopSoundSystem();
        useSoundBus(onSoundBus);
        std::filesystem::create_directories(sim::Sim::get().outputFolder);
        startSoundSystem();
    }

    // One frame as the plug-in runs it: the queue's step, then the simulator's frame.
    void frame() {
        manager->processTextToSpeech();
        runFrames(1);
    }

    // Runs frames until nothing is queued or audible; false when that takes too long.
    bool speakAll(int maxFrames = 600) {
        for (int i = 0; i < maxFrames; ++i) {
            frame();
            if (!manager->hasQueuedSpeech() && !isSoundPlaying(TTS_SOURCE)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    std::vector<Event> events(const std::string& kind) const {
        std::vector<Event> list;
        std::ifstream file(sim::Sim::get().outputFolder + "sound-events.txt");
        double time;
        std::string text;
        while (file >> time && std::getline(file, text))
            if (text.substr(1, kind.size()) == kind) list.push_back({time, text.substr(1)});
        return list;
    }

    std::unique_ptr<VoiceManager> manager;
};

TEST_F(SpeechQueue, SynthesisRunsOnAWorkerAndTheSpeechChannelPlaysIt) {
    manager = fakeManager({2});
    gSettings.sapiVolume = 0.4f;
    manager->addSpeech("Flight 7 cleared to land", -1, 0.0f, true);
    ASSERT_TRUE(manager->hasQueuedSpeech());
    bool heard = false;
    for (int i = 0; i < 600 && manager->hasQueuedSpeech(); ++i) {
        frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    heard = isSoundPlaying(TTS_SOURCE);
    EXPECT_TRUE(heard);
    ASSERT_TRUE(speakAll());

    const auto calls = fake(*manager, 0).calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_FALSE(calls[0].onSimulatorThread);
    EXPECT_NE(calls[0].thread, std::this_thread::get_id());
    EXPECT_EQ(calls[0].voiceIndex, 0);
    EXPECT_EQ(calls[0].text, "Flight 7 cleared to land");
    ASSERT_EQ(events("play").size(), 1u);
    EXPECT_NE(events("play")[0].text.find("rate=22050 channels=1"), std::string::npos) << events("play")[0].text;
    ASSERT_EQ(events("volume").size(), 1u);
    EXPECT_EQ(events("volume")[0].text, "volume id=1 0.400");
    EXPECT_FALSE(std::filesystem::exists(pluginFolder + "tts.mp3"));
}

TEST_F(SpeechQueue, RequestsPlayInOrderAndEachIsSynthesisedAfterThePreviousWasHeard) {
    manager = fakeManager({3});
    manager->playSample(2, "first");
    manager->playSample(1, "second");
    ASSERT_TRUE(speakAll());
    const auto calls = fake(*manager, 0).calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].text, "first");
    EXPECT_EQ(calls[0].voiceIndex, 2);
    EXPECT_EQ(calls[1].text, "second");
    EXPECT_FALSE(calls[1].speechAudible);  // the first had been heard to its end
    const auto plays = events("play"), ends = events("end");
    ASSERT_EQ(plays.size(), 2u);
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_GE(plays[1].time, ends[0].time);
}

TEST_F(SpeechQueue, TheDelayCountsFromTheStartOfSynthesis) {
    manager = fakeManager({1});
    fake(*manager, 0).synthesisTime = std::chrono::milliseconds(250);
    manager->addSpeech("Hold short", -1, 0.5f, true);
    frame();
    ASSERT_TRUE(manager->speechQueue.front().isLoading());
    while (!manager->speechQueue.front().isReadyToPlay()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const auto waited = std::chrono::steady_clock::now() - fake(*manager, 0).calls().at(0).start;
    EXPECT_GE(waited, std::chrono::milliseconds(480));
    EXPECT_LT(waited, std::chrono::milliseconds(740));  // not the delay after the synthesis
    EXPECT_FALSE(isSoundPlaying(TTS_SOURCE));
    frame();
    EXPECT_TRUE(isSoundPlaying(TTS_SOURCE));
}

TEST_F(SpeechQueue, CrewWithoutAVoiceAndInvalidIndexesAreReportedAndNothingPlays) {
    manager = fakeManager({3});  // voice 0 plays every role
    const struct {
        int index;
        bool translate;
        const char* box;  // null: none
    } cases[] = {
        {-2, true, "The crew type, Copilot, has not been assigned to a voice"},
        {-3, true, "The crew type, Flight Attendant, has not been assigned to a voice"},
        {-9, true, "The crew type, Unknown, has not been assigned to a voice"},
        {1, true, nullptr},   // there is one controller voice only
        {3, false, nullptr},  // past the end of the list
        {-1, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        manager->addSpeech("Contact departure", c.index, 0.0f, c.translate);
        frame();  // the message box is shown in the log until windows exist
        EXPECT_FALSE(manager->hasQueuedSpeech());
        EXPECT_TRUE(logged("ERROR: The requested voice index, " + std::to_string(c.index) + ", is invalid"));
        int shown = 0;
        for (const auto& line : logMessages()) shown += line.find("The crew type") != std::string::npos ? 1 : 0;
        EXPECT_EQ(shown, c.box ? 1 : 0);
        if (c.box) {
            EXPECT_TRUE(logged(std::string("ERROR: ") + c.box));
        }
        sim::Sim::get().log.clear();
    }
    EXPECT_TRUE(fake(*manager, 0).calls().empty());
    EXPECT_TRUE(events("play").empty());
}

TEST_F(SpeechQueue, NothingIsQueuedWithoutTextOrVoices) {
    manager = fakeManager({});
    manager->addSpeech("Hello", -1, 0.0f, true);
    EXPECT_FALSE(manager->hasQueuedSpeech());
    EXPECT_TRUE(logged("ERROR: There are no Text To Speech voices available"));

    manager = fakeManager({1});
    manager->addSpeech("", -1, 0.0f, true);
    EXPECT_FALSE(manager->hasQueuedSpeech());
    EXPECT_FALSE(logged("ERROR: The FMOD Sound engine is not available in this version of X-Plane"));
    startSpeechOutput(false);
    manager->addSpeech("", -1, 0.0f, true);
    EXPECT_TRUE(logged("ERROR: The FMOD Sound engine is not available in this version of X-Plane"));
}

TEST_F(SpeechQueue, AFailedSynthesisIsDroppedWithoutSound) {
    manager = fakeManager({1});
    fake(*manager, 0).fail = true;
    manager->addSpeech("Say again", -1, 0.0f, true);
    ASSERT_TRUE(speakAll());
    EXPECT_EQ(fake(*manager, 0).calls().size(), 1u);
    EXPECT_TRUE(events("play").empty());
}

TEST_F(SpeechQueue, TheClipChannelDoesNotHoldSpeechBack) {
    manager = fakeManager({1});
    writeBytes(pluginFolder + "clip.mp3", toneMp3());
    WaveData* clip = loadWaveData((pluginFolder + "clip.mp3").c_str());
    clip->volume = 1.0f;
    playSound(clip, CLIP_SOURCE, true);
    freeWaveData(clip);
    manager->addSpeech("Traffic twelve o'clock", -1, 0.0f, true);
    ASSERT_TRUE(speakAll());
    EXPECT_TRUE(isSoundPlaying(CLIP_SOURCE));
    EXPECT_EQ(events("play").size(), 2u);
}

TEST_F(SpeechQueue, StoppingDuringADelayDoesNotWaitItOut) {
    manager = fakeManager({1});
    fake(*manager, 0).synthesisTime = std::chrono::milliseconds(100);
    manager->addSpeech("Much later", -1, 60.0f, true);
    frame();
    while (fake(*manager, 0).calls().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto start = std::chrono::steady_clock::now();
    manager.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(std::filesystem::exists(settingsPath()));
}

// Zuruvo ZEV's road: the caller's thread synthesises, the controller keeps
// its voice on one frequency and a new frequency brings the other voice.
TEST_F(SpeechQueue, CallsAreSynthesisedOnTheCallersThreadInTheControllersVoice) {
    manager = fakeManager({3});
    setRoles(*manager, 0, false, true, CREW_PILOT);
    setRoles(*manager, 1, true, false, CREW_NONE);
    setRoles(*manager, 2, true, false, CREW_NONE);
    manager->saveVoiceSelections();
    initSimState();
    auto tune = [](const char* frequency) {
        sim::setDataRef("sim/cockpit2/radios/actuators/com1_frequency_hz_833", -1, {frequency});
        sampleAircraftPosition();
    };
    auto speakOnAThread = [&](bool atc, const std::string& text) {
        std::string path;
        std::thread speech([&] { path = manager->speak(atc, text); });
        speech.join();
        return path;
    };
    tune("118250");
    EXPECT_EQ(speakOnAThread(true, "Boston Tower"), pluginFolder + "transmission.mp3");
    speakOnAThread(true, "Boston Tower again");
    speakOnAThread(false, "Pilot");
    tune("124400");
    speakOnAThread(true, "Departure");
    EXPECT_EQ(readBytes(pluginFolder + "transmission.mp3"), toneMp3());

    const auto calls = fake(*manager, 0).calls();
    ASSERT_EQ(calls.size(), 4u);
    const int expected[] = {1, 1, 0, 2};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(calls[i].voiceIndex, expected[i]) << calls[i].text;
        EXPECT_FALSE(calls[i].onSimulatorThread);
    }
    EXPECT_EQ(manager->lastAtcFreq, 124400);
}

// Voices are chosen on Zuruvo ZEV's thread while the simulator thread rebuilds the list.
TEST_F(SpeechQueue, VoiceChoiceAndListRebuildsOnTwoThreads) {
    manager = fakeManager({2, 3});
    std::atomic<bool> done{false};
    std::thread speech([&] {
        for (int i = 0; i < 40; ++i) manager->speak(i % 2 == 0, "Call " + std::to_string(i));
        done = true;
    });
    int rebuilds = 0;
    while (!done) {
        manager->services[1]->enabled = rebuilds % 2 == 0;
        manager->refreshVoices();
        manager->getTTSVoiceDescription(0);
        ++rebuilds;
    }
    speech.join();
    EXPECT_EQ(fake(*manager, 0).calls().size() + fake(*manager, 1).calls().size(), 40u);
}

}  // namespace
