// One apt.dat file of arbitrary content parsed into the airport map.
#include "FuzzHost.h"
#include "nav/AirportDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    processAirportFile(writeFuzzFile("apt.dat", data, size));
    // The records found must survive the trip through the cache as well.
    dumpAirports();
    cAirport::removeAllAirports();
    readAirportCache(fuzzPluginFolder() + "airports.dat");
    cAirport::removeAllAirports();
    return 0;
}
