// The WAV reader on arbitrary bytes: every length in the file is a lie
// waiting to happen.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "FuzzHost.h"
#include "audio/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzPluginFolder();
    WaveData* record = new WaveData;
    auto* file = static_cast<unsigned char*>(malloc(size ? size : 1));
    if (size) memcpy(file, data, size);
    if (readWave(file, size, record) && record->data) {
        // Touch every byte handed out, so that a wrong size shows.
        volatile unsigned sum = 0;
        for (int32_t i = 0; i < record->size; ++i) sum = sum + record->data[i];
    }
    freeWaveData(record);
    return 0;
}
