// The airport cache reader on arbitrary bytes: damaged counts and texts must
// end in a logged read error, never in a crash or a huge allocation.
#include <cstdio>

#include "FuzzHost.h"
#include "nav/AirportDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzzPluginFolder() + "airports.dat";
    if (FILE* file = fopen(path.c_str(), "wb")) {
        fwrite(data, 1, size, file);
        fclose(file);
    }
    readAirportCache(path);
    cAirport::removeAllAirports();
    return 0;
}
