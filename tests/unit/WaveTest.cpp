// Decoding WAV and MP3 files: the layouts that decode, the damage that is
// refused with its message, and MP3 decoding against the mpg123 decoder.
#include <cstring>

#include "AudioFixtures.h"
#include "HostFixture.h"
#include "audio/wave.h"

namespace {

using namespace audio_fixtures;
using WaveFiles = HostTest;

struct Decoded {
    WaveData* wave;
    explicit Decoded(const std::string& path) : wave(loadWaveData(path.c_str())) {}
    ~Decoded() { freeWaveData(wave); }
    Bytes bytes() const { return wave->data ? Bytes(wave->data, wave->data + wave->size) : Bytes(); }
};

Bytes littleEndian16(const std::vector<int>& samples) {
    Bytes out;
    for (int sample : samples) putNumber(out, static_cast<uint32_t>(sample), 2, false);
    return out;
}

TEST_F(WaveFiles, PcmLayoutsInBothByteOrdersDecodeToLittleEndianSamples) {
    const std::vector<int> bytes8 = {0, 1, 127, 128, 200, 255};
    const std::vector<int> samples16 = {0, 1, -1, 32767, -32768, 0x1234};
    struct Case {
        bool bigEndian;
        int channels, bits;
        const char* name;
        int32_t format;
    } cases[] = {
        {false, 1, 8, "m8.wav", 0x1100},   {false, 2, 8, "s8.WAV", 0x1102},  {false, 1, 16, "m16.Wav", 0x1101},
        {false, 2, 16, "s16.wAV", 0x1103}, {true, 1, 8, "bm8.wav", 0x1100},  {true, 2, 16, "bs16.wav", 0x1103},
        {true, 1, 16, "bm16.wav", 0x1101},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto& samples = c.bits == 8 ? bytes8 : samples16;
        writeFile(pluginFolder + c.name, wavFile(c.channels, c.bits, 11025, samples, c.bigEndian));
        Decoded decoded(pluginFolder + c.name);
        EXPECT_EQ(decoded.wave->format, c.format);
        EXPECT_EQ(decoded.wave->frequency, 11025);
        EXPECT_EQ(decoded.wave->volume, 0.0f);
        EXPECT_STREQ(decoded.wave->path, (pluginFolder + c.name).c_str());
        EXPECT_EQ(decoded.bytes(), c.bits == 8 ? Bytes(bytes8.begin(), bytes8.end()) : littleEndian16(samples16));
        EXPECT_EQ(decoded.wave->size, static_cast<int32_t>(decoded.bytes().size()));
    }
    EXPECT_TRUE(logMessages().empty());
}

TEST_F(WaveFiles, DamagedOrUnsupportedFilesAreLoggedFailures) {
    const Chunk fmt = fmtChunk(1, 16, 8000);
    const Chunk data = dataChunk({1, 2, 3, 4}, 16);
    Bytes truncated = wavFile(1, 16, 8000, {1, 2, 3, 4});
    truncated.resize(truncated.size() - 3);
    Bytes cutInFormat = riffFile({data, fmt});
    cutInFormat.resize(cutInFormat.size() - 6);
    Chunk shortFormat = fmt;
    shortFormat.body.resize(14);
    const std::string text = "This is a list of frequencies, not a sound.\n";
    struct Case {
        const char* name;
        Bytes bytes;
        std::vector<std::string> reasons;  // after "WAVE file load failed: <path>" when the first is empty
    } cases[] = {
        {"text", Bytes(text.begin(), text.end()), {"", "Could not find RIFF chunk in wave file."}},
        {"empty", {}, {"", "Could not find RIFF chunk in wave file."}},
        {"form", riffFile({fmt, data}, false, "AVI "), {"", "Could not find WAVE signature in wave file."}},
        {"nofmt", riffFile({data}), {"", "Could not find FMT chunk in wave file."}},
        {"nodata", riffFile({fmt}), {"", "I could not find the DATA chunk."}},
        {"lying", riffFile({fmt, {"LIST", Bytes(4), 0x7ffffff0}, data}), {"", "I could not find the DATA chunk."}},
        {"cutfmt", cutInFormat, {"", "The FMT chunk is too short."}},
        {"shortfmt", riffFile({shortFormat, data}), {"", "The FMT chunk is too short."}},
        {"float", riffFile({fmtChunk(1, 32, 8000, false, 3), data}), {"Wave file is not PCM format data."}},
        {"nochannels", riffFile({fmtChunk(0, 16, 8000), data}), {"Must have mono or stereo sound."}},
        {"surround", riffFile({fmtChunk(6, 16, 8000), data}), {"Must have mono or stereo sound."}},
        {"24bit", riffFile({fmtChunk(2, 24, 8000), data}), {"Must have 8 or 16 bit sounds."}},
        {"truncated", truncated, {"", "The DATA chunk runs past the end of the wave file."}},
        {"overlong", riffFile({fmt, {"data", Bytes(8), 0xfffffff0}}),
         {"", "The DATA chunk runs past the end of the wave file."}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Sim::get().log.clear();
        const std::string path = pluginFolder + c.name + ".wav";
        writeFile(path, c.bytes);
        Decoded decoded(path);
        EXPECT_EQ(decoded.wave->data, nullptr);
        EXPECT_EQ(decoded.wave->format, 0);
        EXPECT_EQ(decoded.wave->size, 0);
        std::vector<std::string> expected = c.reasons;
        if (expected.front().empty()) expected.front() = "WAVE file load failed: " + path;
        EXPECT_EQ(logMessages(), expected);
    }
}

TEST_F(WaveFiles, EmptyDataChunkIsNoSoundButNoError) {
    writeFile(pluginFolder + "silence.wav", wavFile(2, 16, 22050, {}));
    Decoded decoded(pluginFolder + "silence.wav");
    EXPECT_EQ(decoded.wave->data, nullptr);
    EXPECT_EQ(decoded.wave->size, 0);
    EXPECT_EQ(decoded.wave->format, 0);
    EXPECT_TRUE(logMessages().empty());
}

TEST_F(WaveFiles, MissingFileAndNamesNotEndingInWavGoElsewhere) {
    Decoded missing(pluginFolder + "gone.wav");
    EXPECT_EQ(logMessages(), std::vector<std::string>{"WAVE file load failed - could not open: " + pluginFolder + "gone.wav"});
    // A good WAV file under another name goes to the MP3 decoder, which finds no sound in it.
    const Bytes wav = wavFile(1, 16, 8000, {1, 2, 3, 4});
    for (const char* name : {"clip.mp3", "clip", "clip.wave", "clip.MP3"}) {
        SCOPED_TRACE(name);
        sim::Sim::get().log.clear();
        writeFile(pluginFolder + name, wav);
        Decoded decoded(pluginFolder + name);
        EXPECT_EQ(decoded.wave->data, nullptr);
        EXPECT_EQ(decoded.wave->format, 0);
        EXPECT_EQ(logMessages(), std::vector<std::string>{"Error reading MP3 file: " + pluginFolder + name});
    }
}

TEST_F(WaveFiles, CopyHasItsOwnSamples) {
    writeFile(pluginFolder + "a.wav", wavFile(1, 16, 8000, {5, 6, 7}));
    Decoded original(pluginFolder + "a.wav");
    original.wave->volume = 0.5f;
    WaveData* copy = copyWaveData(original.wave);
    ASSERT_NE(copy->data, nullptr);
    EXPECT_NE(copy->data, original.wave->data);
    EXPECT_EQ(Bytes(copy->data, copy->data + copy->size), original.bytes());
    EXPECT_EQ(copy->format, original.wave->format);
    EXPECT_EQ(copy->volume, 0.5f);
    EXPECT_STREQ(copy->path, original.wave->path);
    freeWaveData(copy);

    WaveData empty;
    WaveData* emptyCopy = copyWaveData(&empty);
    EXPECT_EQ(emptyCopy->data, nullptr);
    freeWaveData(emptyCopy);
}

using Mp3Files = HostTest;

// The reference is Debian's mpg123 program, built on the same decoder.
TEST_F(Mp3Files, DecodeAsTheMpg123DecoderDoes) {
    struct Case {
        int rate, channels;
        int32_t format;
    } cases[] = {{22050, 1, 0x1101}, {44100, 2, 0x1103}, {8000, 1, 0x1101}};
    for (const auto& c : cases) {
        const std::string name = std::to_string(c.rate) + "-" + std::to_string(c.channels) + ".mp3";
        SCOPED_TRACE(name);
        const std::string mp3 = makeMp3(pluginFolder, name, 0.7, c.rate, c.channels);
        ASSERT_EQ(shell("mpg123 -q -O '" + mp3 + ".pcm' '" + mp3 + "'"), 0);
        const Bytes reference = readFile(mp3 + ".pcm");
        const size_t frames = reference.size() / (2 * c.channels);
        ASSERT_GT(frames, 0.7 * c.rate);

        Decoded decoded(mp3);
        EXPECT_EQ(decoded.wave->format, c.format);
        EXPECT_EQ(decoded.wave->frequency, c.rate);
        EXPECT_EQ(decoded.wave->size, static_cast<int32_t>(frames * c.channels * 2));
        EXPECT_TRUE(decoded.bytes() == reference);
    }
    EXPECT_TRUE(logMessages().empty());
}

// The shipped static loop: four seconds that wrap around without a seam.
TEST_F(Mp3Files, ShippedStaticLoopsWithoutASeam) {
    Decoded noise(std::string(PLUGIN_DIR) + "/static.mp3");
    ASSERT_EQ(noise.wave->format, 0x1101);
    ASSERT_EQ(noise.wave->frequency, 44100);
    ASSERT_EQ(noise.wave->size, 4 * 44100 * 2);
    std::vector<int16_t> samples(static_cast<size_t>(noise.wave->size / 2));
    memcpy(samples.data(), noise.wave->data, samples.size() * 2);
    auto rms = [&](size_t from, size_t to) {
        double sum = 0;
        for (size_t i = from; i < to; ++i) sum += double(samples[i]) * samples[i];
        return sqrt(sum / double(to - from));
    };
    const size_t n = samples.size();
    const double level = rms(0, n);
    EXPECT_GT(level, 1000);  // audible hiss, far from full scale
    EXPECT_LT(level, 8000);
    // Even power through the cross-fade, and no step at the wrap larger than within the loop.
    EXPECT_NEAR(rms(n - 11025, n), level, 0.15 * level);
    int largestStep = 0;
    for (size_t i = 1; i < n; ++i) largestStep = std::max(largestStep, std::abs(samples[i] - samples[i - 1]));
    EXPECT_LT(std::abs(samples[0] - samples[n - 1]), largestStep / 2);
}

}  // namespace
