// The MP3 path on arbitrary bytes: the decoder reads from memory and hands
// back whole 16-bit frames.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzHost.h"
#include "audio/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzPluginFolder();
    WaveData* record = new WaveData;
    if (decodeMp3(data, size, record)) {
        const int channels = record->format == FORMAT_STEREO16 ? 2 : 1;
        if (!record->data || record->size <= 0 || record->size % (2 * channels) != 0 || record->frequency <= 0)
            abort();
        volatile unsigned sum = 0;
        for (int32_t i = 0; i < record->size; ++i) sum = sum + record->data[i];
    }
    freeWaveData(record);
    return 0;
}
