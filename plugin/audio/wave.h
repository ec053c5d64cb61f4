// Decoding of WAV and MP3 files into one in-memory PCM buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/Common.h"

// OpenAL's format codes, which both output back ends understand.
constexpr int32_t FORMAT_MONO8 = 0x1100;
constexpr int32_t FORMAT_MONO16 = 0x1101;
constexpr int32_t FORMAT_STEREO8 = 0x1102;
constexpr int32_t FORMAT_STEREO16 = 0x1103;

// A decoded sound. Heap-allocated and owned by whoever holds the pointer;
// released with freeWaveData.
struct WaveData {
    unsigned char* data = nullptr;  // interleaved little-endian PCM (malloc'ed); null when nothing was decoded
    int32_t size = 0;               // bytes in data
    int32_t format = 0;             // one of the FORMAT_ codes; 0 when decoding failed
    int32_t frequency = 0;          // sample rate in Hz
    char path[PATH_BUFFER_SIZE] = {};
    float volume = 0.0f;  // playback gain 0..1, set by the caller
};

// Never returns null: a failed decode is logged and leaves data null, format 0.
// Paths ending in ".wav" (any case) are read as WAV, all others as MP3.
WaveData* loadWaveData(const char* path);
WaveData* copyWaveData(const WaveData* source);
void freeWaveData(WaveData* record);

// The decoders behind loadWaveData, on a file already in memory; they fill
// data, size, format and frequency and log failures with record->path.
// readWave takes over `file`, a malloc'ed block: it becomes the samples or is freed.
bool readWave(unsigned char* file, size_t size, WaveData* record);
bool decodeMp3(const unsigned char* bytes, size_t size, WaveData* record);

// Bytes per sample frame of a format code (0 for an unknown code).
int frameBytes(int32_t format);
