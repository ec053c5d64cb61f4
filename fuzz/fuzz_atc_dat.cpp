// The atc.dat reader and the placement it drives must survive any file: no
// crash, no sanitizer report, no hang.
#include <cstddef>
#include <cstdint>

#include "FuzzHost.h"
#include "nav/AirSpaceManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AirSpaceManager::loadFile(writeFuzzFile("atc.dat", data, size));
    for (const auto& airSpace : AirSpaceManager::airSpaces) {
        const GeoPoint& at = airSpace->polygon.front();
        AirSpaceManager::newAirSpace(at.latitude, at.longitude, airSpace->minAlt);
        AirSpaceManager::findNearestTransmitter(airSpace->center.latitude, airSpace->center.longitude, airSpace->maxAlt, 200);
    }
    AirSpaceManager::clear();
    return 0;
}
