// Sound output, heard for real: the plug-in runs in-process against the
// stand-in simulator, a clip is handed over in the SoundFile as the chatter
// thread would, and the real flight loop plays it. On the sound bus the
// simulator's recording (radio.wav, sound-events.txt) is checked; without the
// bus, real OpenAL Soft writes what it mixes to a file through its wave back end.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <thread>

#include "AudioFixtures.h"
#include "HostFixture.h"
#include "Quillon.h"
#include "Settings.h"
#include "audio/Sound.h"
#include "audio/wave.h"
#include "host/Xplm.h"

namespace {

using namespace audio_fixtures;

const std::string& capturePath() {
    static const std::string path = ::testing::TempDir() + "quillon-openal-" + std::to_string(getpid()) + ".wav";
    return path;
}

// OpenAL Soft reads its configuration once per process, before its first
// device: from then on every device it opens is the file writer, never a
// sound card.
class OpenAlToFile : public ::testing::Environment {
public:
    void SetUp() override {
        const std::string conf = ::testing::TempDir() + "quillon-openal-" + std::to_string(getpid()) + ".conf";
        std::ofstream(conf) << "[general]\ndrivers = wave\nchannels = mono\nsample-type = int16\nfrequency = 44100\n"
                               "[wave]\nfile = " << capturePath() << "\n";
        setenv("ALSOFT_CONF", conf.c_str(), 1);
    }
};
[[maybe_unused]] ::testing::Environment* const gOpenAlToFile = ::testing::AddGlobalTestEnvironment(new OpenAlToFile);

struct Event {
    double time;
    std::string text;
};

class SoundOutput : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        std::filesystem::create_directories(sim::Sim::get().outputFolder);
        std::filesystem::copy_file(std::string(PLUGIN_DIR) + "/static.mp3", pluginFolder + "static.mp3");
    }

    void TearDown() override {
        if (m_Started) XPluginStop();
        stopSoundSystem();
        gSettings.audioDevice = "X-Plane Audio";
        gSettings.staticVolume = 0.0f;
        gSoundFile.addStatic = false;
    }

    void startPlugin() {
        char name[256], signature[256], description[256];
        ASSERT_EQ(XPluginStart(name, signature, description), 1);
        m_Started = true;
        runFrames(1);
    }

    void stopPlugin() {
        XPluginStop();
        m_Started = false;
    }

    // A 16-bit mono clip at 44.1 kHz, or an 8-bit one from the same tone.
    WaveData* clip(const std::string& name, const std::vector<int>& samples16, int bits, float volume) {
        std::vector<int> samples = samples16;
        if (bits == 8)
            for (int& sample : samples) sample = 128 + sample / 256;
        writeFile(pluginFolder + name, wavFile(1, bits, 44100, samples, false));
        WaveData* wave = loadWaveData((pluginFolder + name).c_str());
        wave->volume = volume;
        return wave;
    }

    static void handOver(WaveData* wave, bool withStatic) {
        gSoundFile.addStatic = withStatic;
        gSoundFile.waveData = wave;
        gSoundFile.playSound = true;
    }

    std::vector<Event> events() const {
        std::vector<Event> list;
        std::ifstream file(sim::Sim::get().outputFolder + "sound-events.txt");
        double time;
        std::string text;
        while (file >> time && std::getline(file, text)) list.push_back({time, text.substr(1)});
        return list;
    }

    static double frameSeconds() { return sim::Sim::get().frameSeconds(); }

    // Runs frames in real time (OpenAL plays by the wall clock) until the clip has ended.
    static void playOut(bool* staticWhilePlaying, bool* staticAfterEnd) {
        for (int frame = 0; frame < 200; ++frame) {
            runFrames(1);
            if (frame > 0 && !gSoundFile.isPlaying) break;
            if (staticWhilePlaying && isSoundPlaying(STATIC_SOURCE)) *staticWhilePlaying = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
        if (staticAfterEnd) *staticAfterEnd = isSoundPlaying(STATIC_SOURCE);
    }


    bool m_Started = false;
};

double dot(const int16_t* a, const std::vector<int>& b) {
    double sum = 0;
    for (size_t i = 0; i < b.size(); ++i) sum += double(a[i]) * b[i];
    return sum;
}

// ---- the simulator's sound bus ------------------------------------------------

TEST_F(SoundOutput, BusPlaysTheClipOverItsStaticAndEndsTheStaticWhenTheClipEnds) {
    useSoundBus(true);
    startPlugin();  // reads the settings file
    gSettings.staticVolume = 0.3f;
    EXPECT_TRUE(logged("Using X-Plane FMOD Sound System"));
    const std::vector<int> tone16 = tone(22050, 100, 10000);
    handOver(clip("clip.wav", tone16, 16, 0.8f), true);
    for (int frame = 0; frame < 60 && (frame == 0 || gSoundFile.isPlaying); ++frame) runFrames(1);
    EXPECT_FALSE(gSoundFile.isPlaying);
    EXPECT_FALSE(isSoundPlaying(STATIC_SOURCE));
    runFrames(3);
    stopPlugin();
    sim::runEndHooks();

    // The static starts first, looping, at its volume; the clip right after it.
    const auto list = events();
    ASSERT_GE(list.size(), 6u);
    EXPECT_EQ(list[0].text, "play id=1 bus=0 rate=44100 channels=1 frames=176400 loop=1 bits=16");
    EXPECT_EQ(list[1].text, "volume id=1 0.300");
    EXPECT_EQ(list[2].text, "play id=2 bus=0 rate=44100 channels=1 frames=22050 loop=0 bits=16");
    EXPECT_EQ(list[3].text, "volume id=2 0.800");
    EXPECT_EQ(list[4].text, "end id=2");
    EXPECT_EQ(list[5].text, "stop id=1");
    // The end is seen, and the static stopped, in the next frame's flight loop.
    EXPECT_NEAR(list[5].time - list[4].time, frameSeconds(), 0.002);  // times are logged to the millisecond

    WaveData* radio = loadWaveData((sim::Sim::get().outputFolder + "radio.wav").c_str());
    ASSERT_EQ(radio->format, 0x1101);
    const auto* mix = reinterpret_cast<const int16_t*>(radio->data);
    // Sounds start and stop on frame boundaries; the event times are rounded.
    auto sampleOfFrame = [](double time) {
        const double frame = sim::Sim::get().frameSeconds();
        return static_cast<size_t>(llround(llround(time / frame) * frame * 44100));
    };
    const size_t start = sampleOfFrame(list[0].time);
    const size_t staticEnd = sampleOfFrame(list[5].time);
    ASSERT_GE(static_cast<size_t>(radio->size / 2), staticEnd + 100);
    for (size_t i = 0; i < start; ++i) ASSERT_EQ(mix[i], 0) << i;
    for (size_t i = staticEnd; i < staticEnd + 100; ++i) ASSERT_EQ(mix[i], 0) << i;
    // The clip sits at its volume from the hand-off frame on; what is left is the static at its volume.
    double clipEnergy = 0, residual = 0;
    for (int v : tone16) clipEnergy += double(v) * v;
    const double fitted = dot(mix + start, tone16) / clipEnergy;
    EXPECT_NEAR(fitted, 0.8, 0.02);
    for (size_t i = 0; i < tone16.size(); ++i) {
        const double rest = mix[start + i] - 0.8 * tone16[i];
        residual += rest * rest;
    }
    WaveData* noise = loadWaveData((pluginFolder + "static.mp3").c_str());
    double noiseEnergy = 0;
    const auto* noiseSamples = reinterpret_cast<const int16_t*>(noise->data);
    for (size_t i = 0; i < tone16.size(); ++i) noiseEnergy += double(noiseSamples[i]) * noiseSamples[i];
    EXPECT_NEAR(sqrt(residual / noiseEnergy), 0.3, 0.03);
    freeWaveData(noise);
    freeWaveData(radio);
}

TEST_F(SoundOutput, StopRequestCutsTheClipAndTheStaticFollowsInTheNextFrame) {
    useSoundBus(true);
    startPlugin();  // reads the settings file
    gSettings.staticVolume = 0.2f;
    handOver(clip("long.wav", tone(3 * 44100, 100, 8000), 16, 1.0f), true);
    runFrames(5);
    EXPECT_TRUE(gSoundFile.isPlaying);
    gSoundFile.stopRequest = true;
    runFrames(1);
    EXPECT_FALSE(gSoundFile.stopRequest);
    EXPECT_TRUE(isSoundPlaying(STATIC_SOURCE));  // the clip's end is seen only next frame
    runFrames(1);
    EXPECT_FALSE(gSoundFile.isPlaying);
    EXPECT_FALSE(isSoundPlaying(STATIC_SOURCE));
    const auto list = events();
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[4].text, "stop id=2");
    EXPECT_EQ(list[5].text, "stop id=1");
    EXPECT_NEAR(list[5].time - list[4].time, frameSeconds(), 0.002);  // times are logged to the millisecond
}

TEST_F(SoundOutput, ClipsWithoutFormatOrSamplesAreLoggedAndDropped) {
    useSoundBus(true);
    startPlugin();
    struct Case {
        int32_t format;
        bool withData;
        const char* message;
    } cases[] = {{0, true, "Invalid PCM format in "}, {0x1101, false, "Missing PCM data in "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        auto* wave = new WaveData;
        snprintf(wave->path, sizeof wave->path, "%s", "broken clip.wav");
        wave->format = c.format;
        wave->frequency = 44100;
        if (c.withData) {
            wave->size = 4;
            wave->data = static_cast<unsigned char*>(calloc(1, 4));
        }
        handOver(wave, true);
        runFrames(1);
        EXPECT_TRUE(logged(std::string(c.message) + "broken clip.wav"));
        EXPECT_FALSE(gSoundFile.playSound);
        EXPECT_EQ(gSoundFile.waveData.load(), nullptr);
        EXPECT_FALSE(gSoundFile.isPlaying);
    }
    EXPECT_TRUE(events().empty());  // not even the static
}

TEST_F(SoundOutput, ClipRefusedByTheBusTakesItsStaticAlong) {
    useSoundBus(true);
    startPlugin();
    gSettings.staticVolume = 0.2f;
    handOver(clip("eight.wav", tone(4410, 100, 8000), 8, 1.0f), true);
    runFrames(1);
    EXPECT_TRUE(logged("ERROR: The audio file is not 16 bit audio and is not supported by the X-Plane FMOD sound "
                       "system: " + pluginFolder + "eight.wav"));
    EXPECT_FALSE(gSoundFile.isPlaying);
    runFrames(1);
    EXPECT_FALSE(isSoundPlaying(STATIC_SOURCE));
}

TEST_F(SoundOutput, BusRefusesEightBitKeepsOneSoundPerChannelAndSurvivesLateCompletions) {
    useSoundBus(true);
    ASSERT_TRUE(startSoundSystem());
    const std::vector<int> tone16 = tone(44100, 100, 8000);

    WaveData* eightBit = clip("eight.wav", tone16, 8, 1.0f);
    playSound(eightBit, CLIP_SOURCE, false);
    EXPECT_TRUE(logged("ERROR: The audio file is not 16 bit audio and is not supported by the X-Plane FMOD sound "
                       "system: " + pluginFolder + "eight.wav"));
    EXPECT_FALSE(isSoundPlaying(CLIP_SOURCE));

    // A second sound on a busy channel is dropped, neither restarted nor queued.
    WaveData* speech = clip("speech.wav", tone16, 16, 1.0f);
    playSound(speech, TTS_SOURCE, false);
    playSound(speech, TTS_SOURCE, false);
    freeWaveData(speech);  // the output keeps its own copy
    setVolume(0.5f, TTS_SOURCE);
    runFrames(2);
    EXPECT_TRUE(isSoundPlaying(TTS_SOURCE));
    stopPlaying(TTS_SOURCE);
    EXPECT_TRUE(isSoundPlaying(TTS_SOURCE));  // until the simulator reports it complete
    runFrames(1);
    EXPECT_FALSE(isSoundPlaying(TTS_SOURCE));

    // A sound the simulator refuses is logged; its completion, arriving later, changes nothing.
    WaveData* broken = clip("rate0.wav", tone16, 16, 1.0f);
    broken->frequency = 0;
    playSound(broken, CLIP_SOURCE, false);
    EXPECT_TRUE(logged("ERROR: Unexpected problem playing the audio file: " + pluginFolder + "rate0.wav"));
    EXPECT_FALSE(isSoundPlaying(CLIP_SOURCE));
    freeWaveData(broken);

    // Sounds still playing at shut-down are stopped; their completions come after the manager is gone.
    playSound(eightBit, STATIC_SOURCE, true);
    WaveData* loop = clip("loop.wav", tone16, 16, 0.1f);
    playSound(loop, STATIC_SOURCE, true);
    playSound(loop, CLIP_SOURCE, false);
    stopSoundSystem();
    runFrames(2);
    ASSERT_TRUE(startSoundSystem());
    playSound(loop, CLIP_SOURCE, false);
    runFrames(1);
    EXPECT_TRUE(isSoundPlaying(CLIP_SOURCE));
    freeWaveData(loop);
    freeWaveData(eightBit);

    std::vector<std::string> texts;
    for (const auto& event : events()) texts.push_back(event.text);
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "play id=1 bus=0 rate=44100 channels=1 frames=44100 loop=0 bits=16",
                         "volume id=1 1.000",
                         "volume id=1 0.500",
                         "stop id=1",
                         "refused format=2 rate=0 channels=1 bus=0",
                         "play id=2 bus=0 rate=44100 channels=1 frames=44100 loop=1 bits=16",
                         "volume id=2 0.100",
                         "play id=3 bus=0 rate=44100 channels=1 frames=44100 loop=0 bits=16",
                         "volume id=3 0.100",
                         "stop id=3",
                         "stop id=2",
                         "play id=4 bus=0 rate=44100 channels=1 frames=44100 loop=0 bits=16",
                         "volume id=4 0.100",
                     }));
}

// ---- OpenAL ------------------------------------------------------------------

// What OpenAL wrote, as mono 16-bit samples.
std::vector<int16_t> readCapture() {
    const Bytes file = readFile(capturePath());
    std::vector<int16_t> samples;
    for (size_t at = 12; at + 8 <= file.size();) {
        uint32_t length;
        memcpy(&length, &file[at + 4], 4);
        if (memcmp(&file[at], "data", 4) == 0) {
            samples.resize(std::min<size_t>(length, file.size() - at - 8) / 2);
            memcpy(samples.data(), &file[at + 8], samples.size() * 2);
            break;
        }
        at += 8 + length;
    }
    return samples;
}

// The best normalised correlation of the tone anywhere in the capture, and the gain there.
std::pair<double, double> findTone(const std::vector<int16_t>& capture, const std::vector<int>& tone16) {
    const size_t probe = 2000;
    if (capture.size() < tone16.size()) return {0, 0};
    size_t best = 0;
    double bestScore = -1;
    for (size_t lag = 0; lag + tone16.size() <= capture.size(); ++lag) {
        double score = 0;
        for (size_t i = 0; i < probe; ++i) score += double(capture[lag + i]) * tone16[i];
        if (score > bestScore) bestScore = score, best = lag;
    }
    double cross = 0, heard = 0, sent = 0;
    for (size_t i = 0; i < tone16.size(); ++i) {
        cross += double(capture[best + i]) * tone16[i];
        heard += double(capture[best + i]) * capture[best + i];
        sent += double(tone16[i]) * tone16[i];
    }
    return {heard > 0 ? cross / sqrt(heard * sent) : 0, cross / sent};
}

TEST_F(SoundOutput, OpenAlPlaysSixteenAndEightBitClipsIntoTheDevice) {
    useSoundBus(false);
    startPlugin();  // reads the settings file
    gSettings.staticVolume = 0.05f;
    ASSERT_TRUE(logged("Found the default OpenAL Device and created a new context"));
    const std::vector<int> first = tone(13230, 50, 12000), second = tone(13230, 80, 12000);
    handOver(clip("sixteen.wav", first, 16, 0.9f), true);
    bool staticWhilePlaying = false, staticAfterEnd = true;
    playOut(&staticWhilePlaying, &staticAfterEnd);
    EXPECT_FALSE(gSoundFile.isPlaying);
    EXPECT_TRUE(staticWhilePlaying);
    EXPECT_FALSE(staticAfterEnd);  // stopped in the frame the clip's end was seen
    handOver(clip("eight.wav", second, 8, 1.0f), false);
    playOut(nullptr, nullptr);
    EXPECT_FALSE(gSoundFile.isPlaying);
    stopPlugin();  // closes the device, which completes the file

    const std::vector<int16_t> capture = readCapture();
    const auto heardFirst = findTone(capture, first), heardSecond = findTone(capture, second);
    EXPECT_GT(heardFirst.first, 0.98);
    EXPECT_NEAR(heardFirst.second, 0.9, 0.1);
    EXPECT_GT(heardSecond.first, 0.98);
    EXPECT_NEAR(heardSecond.second, 1.0, 0.1);
    for (const auto& text : logMessages()) EXPECT_EQ(text.find("OpenaAL Error"), std::string::npos) << text;
}

TEST_F(SoundOutput, OpenAlDeviceChoiceFallsBackToTheDefaultAndListsDevices) {
    useSoundBus(false);
    gSettings.audioDevice = "No Such Device";
    ASSERT_TRUE(startSoundSystem());
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"Trying to open audio device: No Such Device",
                                                       "Could not open audio deviceNo Such Device, defaulting to "
                                                       "X-Plane Audio",
                                                       "Found the default OpenAL Device and created a new context"}));
    stopSoundSystem();
    sim::Sim::get().log.clear();
    gSettings.audioDevice = "Wave File Writer";
    ASSERT_TRUE(startSoundSystem());
    EXPECT_EQ(logMessages(), std::vector<std::string>{"Trying to open audio device: Wave File Writer"});
    EXPECT_EQ(getAudioDevices(), (std::vector<std::string>{"X-Plane Audio", "Wave File Writer"}));
    stopSoundSystem();

    useSoundBus(true);
    EXPECT_EQ(getAudioDevices(), std::vector<std::string>{"X-Plane Audio"});
}

TEST_F(SoundOutput, OpenAlLeavesTheSimulatorsContextCurrentAndLogsErrors) {
    useSoundBus(false);
    // The simulator's own context, on a device that renders only when asked.
    auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    ASSERT_NE(openLoopback, nullptr);
    ALCdevice* simulatorDevice = openLoopback(nullptr);
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_MONO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT,
                                 ALC_FREQUENCY, 44100, 0};
    ALCcontext* simulatorContext = alcCreateContext(simulatorDevice, attributes);
    ASSERT_TRUE(alcMakeContextCurrent(simulatorContext));

    ASSERT_TRUE(startSoundSystem());
    EXPECT_EQ(alcGetCurrentContext(), simulatorContext);
    WaveData* broken = clip("rate0.wav", tone(4410, 50, 8000), 16, 1.0f);
    broken->frequency = 0;
    playSound(broken, CLIP_SOURCE, false);
    freeWaveData(broken);
    EXPECT_EQ(alcGetCurrentContext(), simulatorContext);
    const auto messages = logMessages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_TRUE(std::regex_match(messages[messages.size() - 2], std::regex(R"(OpenaAL Error: Invalid Value \(Sound:[0-9]+\))")))
        << messages[messages.size() - 2];
    EXPECT_EQ(messages.back(), "Error playing: " + pluginFolder + "rate0.wav");

    // A new sound on a playing channel replaces the old one.
    sim::Sim::get().log.clear();
    WaveData* good = clip("good.wav", tone(44100, 50, 8000), 16, 1.0f);
    playSound(good, TTS_SOURCE, false);
    playSound(good, TTS_SOURCE, false);
    freeWaveData(good);
    EXPECT_TRUE(isSoundPlaying(TTS_SOURCE));
    EXPECT_TRUE(logMessages().empty());
    setVolume(0.2f, TTS_SOURCE);
    stopPlaying(TTS_SOURCE);
    EXPECT_FALSE(isSoundPlaying(TTS_SOURCE));
    EXPECT_EQ(alcGetCurrentContext(), simulatorContext);
    stopSoundSystem();
    EXPECT_EQ(alcGetCurrentContext(), simulatorContext);

    alcMakeContextCurrent(nullptr);
    alcDestroyContext(simulatorContext);
    alcCloseDevice(simulatorDevice);
}

}  // namespace
