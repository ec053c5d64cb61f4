// Radio chatter through the real plug-in in simhost, over the demo world and
// the demo clip collection: what is heard, when it stops and how long the
// pauses are, read from simhost's sound events and recording.
#include <cmath>
#include <cstring>

#include "SimRun.h"

namespace {

using Sound = BusSound;

// The sounds on the radio bus.
std::vector<Sound> clips(const SimRun& run) {
    std::vector<Sound> radio;
    for (const auto& sound : run.sounds())
        if (sound.play.find(" bus=0 ") != std::string::npos) radio.push_back(sound);
    return radio;
}

// Parked at Boston Logan on ground, chatter following the tuned controller.
std::string scenario(const std::string& settings, const std::string& steps) {
    return "file \"Resources/plugins/Quillon/Quillon.ini\" \"DEBUG_OUTPUT 1\\nAUTOMATIC_CONTROLLERS 1\\n"
           "AUTO_SELECT_REGION_AND_COUNTRY 1\\n" +
           settings + "\"\nset sim/cockpit2/radios/actuators/com1_frequency_hz_833 121900\nexpect-no-log \"Error in\"\n" +
           steps;
}

class Chatter : public ::testing::Test {
protected:
    void SetUp() override { run.installWorld(); }
    int fly(const std::string& text) { return run.run(text, {"--speed", "2"}); }
    SimRun run;
};

TEST_F(Chatter, RetuningCutsTheClipAndTheNextWaitsTheMaximumDelay) {
    ASSERT_EQ(fly(scenario("MINIMUM_DELAY 1\\nMAXIMUM_DELAY 4\\n",
                           "end 16\nat 8 set sim/cockpit2/radios/actuators/com1_frequency_hz_833 132225\n"
                           "expect-log \"Status: KBOS GROUND BOSTON GND - .*[.](mp3|wav)$\" before 8\n")),
              0)
        << run.stdoutText;
    const auto sounds = clips(run);
    const Sound* cut = nullptr;
    const Sound* next = nullptr;
    for (const auto& sound : sounds) {
        if (sound.start < 8 && sound.how == "stop") cut = &sound;
        if (sound.start > 8 && !next) next = &sound;
    }
    ASSERT_NE(cut, nullptr) << SimRun::readFile(run.output + "sound-events.txt");
    EXPECT_NEAR(cut->end, 8.0, 0.05);
    ASSERT_NE(next, nullptr);
    EXPECT_GE(next->start, 12.0);  // the full maximum delay after the retune
    EXPECT_LT(next->start, 13.0);
}

TEST_F(Chatter, EqualDelaysGiveFiveSecondGaps) {
    ASSERT_EQ(fly(scenario("MINIMUM_DELAY 5\\nMAXIMUM_DELAY 5\\n", "end 40\n")), 0) << run.stdoutText;
    const auto sounds = clips(run);
    int gaps = 0;
    for (size_t i = 0; i + 1 < sounds.size(); ++i) {
        if (sounds[i].how != "end") continue;
        const double gap = sounds[i + 1].start - sounds[i].end;
        EXPECT_GE(gap, 5.0);
        EXPECT_LT(gap, 6.0);  // plus the 100 ms steps, each a little longer on a busy machine
        ++gaps;
    }
    EXPECT_GE(gaps, 2) << SimRun::readFile(run.output + "sound-events.txt");
}

TEST_F(Chatter, AnOutsideViewWithInteriorOnlySoundStopsTheClip) {
    ASSERT_EQ(fly(scenario("MINIMUM_DELAY 1\\nMAXIMUM_DELAY 2\\nINTERIOR_ONLY_SOUND 1\\n",
                           "end 12\nat 6 set sim/graphics/view/view_is_external 1\n"
                           "expect-log \"Status: External Camera Pause\"\n")),
              0)
        << run.stdoutText;
    bool stopped = false;
    for (const auto& sound : clips(run)) {
        if (sound.start < 6 && sound.end >= 6) {
            EXPECT_EQ(sound.how, "stop");
            EXPECT_LT(sound.end, 6.2);  // the next check, and the frame that carries the stop out
            stopped = true;
        }
        EXPECT_TRUE(sound.start < 6) << "a clip started outside at " << sound.start;
    }
    EXPECT_TRUE(stopped) << SimRun::readFile(run.output + "sound-events.txt");
}

TEST_F(Chatter, StoppingThePlugInDuringAClipJoinsTheThreadPromptly) {
    ASSERT_EQ(fly(scenario("MINIMUM_DELAY 1\\nMAXIMUM_DELAY 2\\n", "end 7\nexpect-stop-within 0.25\n")), 0)
        << run.stdoutText;
    const auto sounds = clips(run);
    ASSERT_FALSE(sounds.empty());
    EXPECT_LT(sounds.back().start, 7.0);
}

// Without the simulator's sound bus the clips go to a device of OpenAL Soft's,
// here its wave writer.
TEST_F(Chatter, IsHeardThroughOpenALWithoutTheSoundBus) {
    const std::string capture = run.root + "openal.wav";
    const std::string conf = run.root + "alsoft.conf";
    std::ofstream(conf) << "[general]\ndrivers = wave\nchannels = mono\nsample-type = int16\nfrequency = 44100\n"
                           "[wave]\nfile = "
                        << capture << "\n";
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    const int status = run.run(scenario("MINIMUM_DELAY 1\\nMAXIMUM_DELAY 2\\n", "end 8\nexpect-log \"Clip started\"\n"),
                               {"--no-sound-bus"});
    unsetenv("ALSOFT_CONF");
    ASSERT_EQ(status, 0) << run.stdoutText;
    EXPECT_TRUE(run.sounds().empty());  // nothing went to the bus
    const std::string wav = SimRun::readFile(capture);
    ASSERT_GT(wav.size(), 44u);
    double sum = 0;
    for (size_t at = 44; at + 1 < wav.size(); at += 2) {
        int16_t sample;
        memcpy(&sample, wav.data() + at, 2);
        sum += static_cast<double>(sample) * sample;
    }
    EXPECT_GT(std::sqrt(sum / static_cast<double>((wav.size() - 44) / 2)), 50);
}

// The demo flight: the recording holds speech wherever a clip played and
// silence in between, and the timeline names the controllers in order.
TEST(DemoFlight, IsHeardWhereTheTimelineSaysAndSilentInItsPauses) {
    SimRun run;
    run.installWorld();
    ASSERT_EQ(run.run(SimRun::readFile(std::string(SOURCE_DIR) + "/demo/demo.scenario"),
                      {"--speed", "2", "--timeline", "Clip started|Status:"}),
              0)
        << run.stdoutText;
    EXPECT_NE(run.stdoutText.find("Timeline:"), std::string::npos);
    const auto sounds = clips(run);
    ASSERT_GE(sounds.size(), 6u);
    double silentFrom = 0;
    for (auto sound : sounds) {
        if (sound.end < 0) sound.end = 66;  // still on the air when the flight ended
        if (sound.end - sound.start > 0.5) {
            EXPECT_GT(run.recordingLevel(sound.start + 0.2, sound.end - 0.2), 300) << sound.id;
        }
        if (sound.start - silentFrom > 0.2) {
            EXPECT_EQ(run.recordingLevel(silentFrom + 0.05, sound.start - 0.05), 0);
        }
        silentFrom = sound.end;
    }
    // The pauses of the flight: the ATIS, the dark radio and the outside view,
    // each from half a second after it began (a clip on the air is cut within
    // a few checks, which a busy machine may stretch).
    for (const auto& pause : {std::make_pair(30.5, 34.0), std::make_pair(38.5, 41.0), std::make_pair(43.5, 46.0)})
        EXPECT_EQ(run.recordingLevel(pause.first, pause.second), 0) << pause.first;
}

}  // namespace
