// freq.csv as a user or another tool may have left it.
#include <cstdint>
#include <fstream>

#include "FuzzHost.h"
#include "nav/Facility.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = fuzzPluginFolder();
    std::ofstream(folder + "freq.csv", std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    loadFreqCSV();
    for (int i = 0; i < FACILITY_FREQUENCIES; ++i)
        for (Facility* f = facilities[i]; f; f = f->next)
            if (f->freq != FACILITY_FREQUENCY_MIN + i || f->icaoCode[4] != '\0' || f->name[49] != '\0') __builtin_trap();
    clearFacilities();
    return 0;
}
