// Sound files made by the tests: WAV files byte by byte (including damaged
// ones), MP3 files through sox and lame.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace audio_fixtures {

using Bytes = std::vector<uint8_t>;

inline void putNumber(Bytes& out, uint32_t value, int size, bool bigEndian) {
    for (int i = 0; i < size; ++i) {
        const int shift = 8 * (bigEndian ? size - 1 - i : i);
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

struct Chunk {
    std::string id;
    Bytes body;
    int64_t length = -1;  // the length written in the header; -1: the body's
};

// A RIFF (or, big-endian, RIFX) file of these chunks after the form type.
inline Bytes riffFile(const std::vector<Chunk>& chunks, bool bigEndian = false, const std::string& form = "WAVE") {
    Bytes inner(form.begin(), form.end());
    for (const auto& chunk : chunks) {
        inner.insert(inner.end(), chunk.id.begin(), chunk.id.end());
        putNumber(inner, static_cast<uint32_t>(chunk.length < 0 ? int64_t(chunk.body.size()) : chunk.length), 4,
                  bigEndian);
        inner.insert(inner.end(), chunk.body.begin(), chunk.body.end());
    }
    Bytes file;
    for (char c : std::string(bigEndian ? "RIFX" : "RIFF")) file.push_back(static_cast<uint8_t>(c));
    putNumber(file, static_cast<uint32_t>(inner.size()), 4, bigEndian);
    file.insert(file.end(), inner.begin(), inner.end());
    return file;
}

inline Chunk fmtChunk(int channels, int bits, int rate, bool bigEndian = false, int tag = 1) {
    Bytes body;
    const int block = channels * bits / 8;
    putNumber(body, static_cast<uint32_t>(tag), 2, bigEndian);
    putNumber(body, static_cast<uint32_t>(channels), 2, bigEndian);
    putNumber(body, static_cast<uint32_t>(rate), 4, bigEndian);
    putNumber(body, static_cast<uint32_t>(rate * block), 4, bigEndian);
    putNumber(body, static_cast<uint32_t>(block), 2, bigEndian);
    putNumber(body, static_cast<uint32_t>(bits), 2, bigEndian);
    return {"fmt ", body};
}

// Samples as the file stores them: 8-bit unsigned bytes, or 16-bit values
// in the file's byte order.
inline Chunk dataChunk(const std::vector<int>& samples, int bits, bool bigEndian = false) {
    Bytes body;
    for (int sample : samples) putNumber(body, static_cast<uint32_t>(sample), bits / 8, bigEndian);
    return {"data", body};
}

inline Bytes wavFile(int channels, int bits, int rate, const std::vector<int>& samples, bool bigEndian = false) {
    return riffFile({fmtChunk(channels, bits, rate, bigEndian), dataChunk(samples, bits, bigEndian)}, bigEndian);
}

// 16-bit mono samples of a cosine, so that a sound starts at full swing.
inline std::vector<int> tone(int frames, double period, double amplitude) {
    std::vector<int> samples(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) samples[i] = static_cast<int>(lround(amplitude * cos(2 * M_PI * i / period)));
    return samples;
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

inline Bytes readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline int shell(const std::string& command) { return system((command + " >/dev/null 2>&1").c_str()); }

// A tone encoded by lame, as chatter clips are made.
inline std::string makeMp3(const std::string& folder, const std::string& name, double seconds, int rate, int channels) {
    const std::string wav = folder + name + ".source.wav", mp3 = folder + name;
    const std::string command = "sox -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
                                " -b 16 '" + wav + "' synth " + std::to_string(seconds) +
                                " sine 440 && lame --quiet '" + wav + "' '" + mp3 + "'";
    EXPECT_EQ(shell(command), 0) << command;
    return mp3;
}

}  // namespace audio_fixtures
