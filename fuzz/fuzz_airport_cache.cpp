// The airport cache reader on arbitrary bytes: damaged counts and texts must
// end in a logged read error, never in a crash or a huge allocation.
#include "FuzzHost.h"
#include "nav/AirportDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    readAirportCache(writeFuzzFile("airports.dat", data, size));
    cAirport::removeAllAirports();
    return 0;
}
