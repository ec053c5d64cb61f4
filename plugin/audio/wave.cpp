#include "wave.h"

#include <mpg123.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

constexpr size_t NOT_FOUND = SIZE_MAX;

enum class FileRead { OK, CANNOT_OPEN, NO_MEMORY, SHORT_READ };

// The whole file in one malloc'ed block; files beyond what a WaveData can
// describe are refused as unallocatable.
FileRead readWholeFile(const char* path, unsigned char** bytes, size_t* size) {
    *bytes = nullptr;
    *size = 0;
    FILE* file = fopen(path, "rb");
    if (!file) return FileRead::CANNOT_OPEN;
    long length = -1;
    if (fseek(file, 0, SEEK_END) == 0) length = ftell(file);
    if (length < 0 || fseek(file, 0, SEEK_SET) != 0) {
        fclose(file);
        return FileRead::SHORT_READ;
    }
    if (length > INT32_MAX) {
        fclose(file);
        return FileRead::NO_MEMORY;
    }
    *bytes = static_cast<unsigned char*>(malloc(std::max<size_t>(static_cast<size_t>(length), 1)));
    if (!*bytes) {
        fclose(file);
        return FileRead::NO_MEMORY;
    }
    *size = fread(*bytes, 1, static_cast<size_t>(length), file);
    fclose(file);
    if (*size < static_cast<size_t>(length)) return FileRead::SHORT_READ;
    return FileRead::OK;
}

// ---- WAV -------------------------------------------------------------------

struct RiffReader {
    const unsigned char* bytes;
    size_t size;
    bool bigEndian = false;  // a RIFX file: every number is stored the other way round

    uint32_t u32(size_t at) const {
        const unsigned char* b = bytes + at;
        return bigEndian ? (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3]
                         : (uint32_t(b[3]) << 24) | (uint32_t(b[2]) << 16) | (uint32_t(b[1]) << 8) | b[0];
    }
    uint16_t u16(size_t at) const {
        const unsigned char* b = bytes + at;
        return static_cast<uint16_t>(bigEndian ? (b[0] << 8) | b[1] : (b[1] << 8) | b[0]);
    }

    // Walks the chunks in [start, end) and returns where the data of the first
    // chunk with this id begins, or NOT_FOUND. Chunks follow each other without
    // pad bytes. The returned chunk's length is not checked against `end`.
    size_t findChunk(size_t start, size_t end, const char* id, uint32_t* length) const {
        size_t position = start;
        while (position <= end && end - position >= 8) {
            const uint32_t chunkLength = u32(position + 4);
            if (memcmp(bytes + position, id, 4) == 0) {
                *length = chunkLength;
                return position + 8;
            }
            const uint64_t next = uint64_t(position) + 8 + chunkLength;
            if (next > end) break;
            position = static_cast<size_t>(next);
        }
        return NOT_FOUND;
    }
};

// Logs why the file is refused and frees its block.
bool refuse(unsigned char* file, const char* reason) {
    free(file);
    logMsg(reason);
    return false;
}

bool waveFailure(unsigned char* file, const WaveData* record, const char* reason) {
    sLogMsg("WAVE file load failed: %s", record->path);
    return refuse(file, reason);
}

void load_wave(const char* path, WaveData* record) {
    record->data = nullptr;
    record->size = 0;
    unsigned char* bytes = nullptr;
    size_t size = 0;
    switch (readWholeFile(path, &bytes, &size)) {
        case FileRead::OK:
            readWave(bytes, size, record);
            return;
        case FileRead::CANNOT_OPEN:
            sLogMsg("WAVE file load failed - could not open: %s", path);
            break;
        case FileRead::NO_MEMORY:
            sLogMsg("WAVE file load failed - could not allocate memory: %s", path);
            break;
        case FileRead::SHORT_READ:
            sLogMsg("WAVE file load failed - could not read file: %s", path);
            break;
    }
    free(bytes);
}

// ---- MP3 -------------------------------------------------------------------

struct MemoryStream {
    const unsigned char* bytes;
    size_t size;
    size_t position;
};

mpg123_ssize_t readStream(void* handle, void* buffer, size_t count) {
    auto* stream = static_cast<MemoryStream*>(handle);
    const size_t n = std::min(count, stream->size - stream->position);
    memcpy(buffer, stream->bytes + stream->position, n);
    stream->position += n;
    return static_cast<mpg123_ssize_t>(n);
}

off_t seekStream(void* handle, off_t offset, int whence) {
    auto* stream = static_cast<MemoryStream*>(handle);
    const off_t base = whence == SEEK_SET ? 0
                       : whence == SEEK_CUR ? static_cast<off_t>(stream->position)
                                            : static_cast<off_t>(stream->size);
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
    const off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(stream->size)) return -1;
    stream->position = static_cast<size_t>(target);
    return target;
}

// Decodes the whole stream into one growing block, keeping the first
// frame's rate and channel count; a later change of format ends the sound.
bool decodeStream(mpg123_handle* decoder, size_t inputSize, WaveData* record) {
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK || channels < 1 || channels > 2)
        return false;
    // Past this the byte count no longer fits the record.
    const size_t limit = static_cast<size_t>(INT32_MAX) / 4 * 4;
    // The length a header announces may be a lie: start no larger than the
    // file could plausibly decode to and grow from there.
    const off_t expected = mpg123_length(decoder);
    size_t capacity = std::min(limit, inputSize * 64 + 65536);
    if (expected > 0) capacity = std::min(capacity, static_cast<size_t>(expected) * channels * 2 + 65536);
    auto* pcm = static_cast<unsigned char*>(malloc(capacity));
    if (!pcm) return false;
    size_t used = 0;
    for (;;) {
        if (capacity - used < 16384) {
            if (capacity == limit) break;
            const size_t grown = std::min(limit, capacity * 2);
            auto* bigger = static_cast<unsigned char*>(realloc(pcm, grown));
            if (!bigger) break;
            pcm = bigger;
            capacity = grown;
        }
        size_t done = 0;
        const int result = mpg123_read(decoder, pcm + used, capacity - used, &done);
        used += done;
        if (result == MPG123_OK) continue;
        if (result != MPG123_NEW_FORMAT) break;  // the end, or damage it cannot get past
        long newRate = 0;
        int newChannels = 0;
        if (mpg123_getformat(decoder, &newRate, &newChannels, &encoding) != MPG123_OK || newRate != rate ||
            newChannels != channels)
            break;
    }
    const size_t frameSize = static_cast<size_t>(channels) * 2;
    used -= used % frameSize;
    if (used == 0) {
        free(pcm);
        return false;
    }
    record->data = pcm;
    record->size = static_cast<int32_t>(used);
    record->format = channels == 1 ? FORMAT_MONO16 : FORMAT_STEREO16;
    record->frequency = static_cast<int32_t>(rate);
    return true;
}

void load_mp3(const char* path, WaveData* record) {
    unsigned char* bytes = nullptr;
    size_t size = 0;
    if (readWholeFile(path, &bytes, &size) != FileRead::OK || !decodeMp3(bytes, size, record))
        sLogMsg("Error reading MP3 file: %s", path);
    free(bytes);
}

bool endsWithWav(const char* path) {
    const size_t length = strlen(path);
    return length >= 5 && iequals(path + length - 4, ".WAV");
}

}  // namespace

bool readWave(unsigned char* file, size_t size, WaveData* record) {
    RiffReader riff{file, size};
    uint32_t riffLength = 0;
    size_t riffStart = riff.findChunk(0, size, "RIFF", &riffLength);
    if (riffStart == NOT_FOUND) {
        riff.bigEndian = true;
        riffStart = riff.findChunk(0, size, "RIFX", &riffLength);
    }
    if (riffStart == NOT_FOUND) return waveFailure(file, record, "Could not find RIFF chunk in wave file.");
    // Writers often get the RIFF length wrong; what the file holds is the limit.
    const size_t riffEnd = static_cast<size_t>(std::min<uint64_t>(uint64_t(riffStart) + riffLength, size));
    if (riffStart + 4 > riffEnd || memcmp(file + riffStart, "WAVE", 4) != 0)
        return waveFailure(file, record, "Could not find WAVE signature in wave file.");
    uint32_t formatLength = 0, dataLength = 0;
    const size_t format = riff.findChunk(riffStart + 4, riffEnd, "fmt ", &formatLength);
    if (format == NOT_FOUND) return waveFailure(file, record, "Could not find FMT chunk in wave file.");
    const size_t data = riff.findChunk(riffStart + 4, riffEnd, "data", &dataLength);
    if (data == NOT_FOUND) return waveFailure(file, record, "I could not find the DATA chunk.");
    if (formatLength < 16 || riffEnd - format < 16) return waveFailure(file, record, "The FMT chunk is too short.");

    const uint16_t tag = riff.u16(format);
    const uint16_t channels = riff.u16(format + 2);
    const uint32_t sampleRate = riff.u32(format + 4);
    const uint16_t bits = riff.u16(format + 14);
    if (tag != 1) return refuse(file, "Wave file is not PCM format data.");
    if (channels != 1 && channels != 2) return refuse(file, "Must have mono or stereo sound.");
    if (bits != 8 && bits != 16) return refuse(file, "Must have 8 or 16 bit sounds.");
    if (dataLength > riffEnd - data || dataLength > INT32_MAX)
        return waveFailure(file, record, "The DATA chunk runs past the end of the wave file.");

    record->size = static_cast<int32_t>(dataLength);
    if (dataLength == 0) {
        free(file);
        return true;
    }
    // The file's block becomes the sample block, saving a second copy of the samples.
    memmove(file, file + data, dataLength);
    auto* samples = static_cast<unsigned char*>(realloc(file, dataLength));
    record->data = samples ? samples : file;
    if (riff.bigEndian && bits == 16) {
        const size_t count = size_t(dataLength) / (channels * 2u) * channels;
        for (size_t i = 0; i < count; ++i) std::swap(record->data[2 * i], record->data[2 * i + 1]);
    }
    record->frequency = static_cast<int32_t>(sampleRate);
    record->format = FORMAT_MONO8 + (channels == 2 ? 2 : 0) + (bits == 16 ? 1 : 0);
    return true;
}

bool decodeMp3(const unsigned char* bytes, size_t size, WaveData* record) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });
    int error = MPG123_OK;
    mpg123_handle* decoder = mpg123_new(nullptr, &error);
    if (!decoder) return false;
    MemoryStream stream{bytes, size, 0};
    bool decoded = false;
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(decoder);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(decoder, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_replace_reader_handle(decoder, readStream, seekStream, nullptr) == MPG123_OK &&
        mpg123_open_handle(decoder, &stream) == MPG123_OK) {
        decoded = decodeStream(decoder, size, record);
        mpg123_close(decoder);
    }
    mpg123_delete(decoder);
    return decoded;
}

int frameBytes(int32_t format) {
    switch (format) {
        case FORMAT_MONO8: return 1;
        case FORMAT_MONO16:
        case FORMAT_STEREO8: return 2;
        case FORMAT_STEREO16: return 4;
        default: return 0;
    }
}

WaveData* loadWaveData(const char* path) {
    auto* record = new WaveData;
    if (!path) return record;
    snprintf(record->path, sizeof record->path, "%s", path);
    if (endsWithWav(path))
        load_wave(path, record);
    else
        load_mp3(path, record);
    return record;
}

WaveData* copyWaveData(const WaveData* source) {
    if (!source) return new WaveData;
    auto* copy = new WaveData(*source);
    copy->data = nullptr;
    if (source->data && source->size > 0) {
        copy->data = static_cast<unsigned char*>(malloc(static_cast<size_t>(source->size)));
        if (copy->data)
            memcpy(copy->data, source->data, static_cast<size_t>(source->size));
        else
            copy->size = 0;
    }
    return copy;
}

void freeWaveData(WaveData* record) {
    if (!record) return;
    free(record->data);
    delete record;
}
