// One apt.dat file of arbitrary content parsed into the airport map.
#include <cstdio>

#include "FuzzHost.h"
#include "nav/AirportDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzzPluginFolder() + "apt.dat";
    if (FILE* file = fopen(path.c_str(), "wb")) {
        fwrite(data, 1, size, file);
        fclose(file);
    }
    processAirportFile(path);
    // The records found must survive the trip through the cache as well.
    dumpAirports();
    cAirport::removeAllAirports();
    readAirportCache(fuzzPluginFolder() + "airports.dat");
    cAirport::removeAllAirports();
    return 0;
}
