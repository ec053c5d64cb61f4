// The atc.dat reader and the placement it drives must survive any file: no
// crash, no sanitizer report, no hang.
#include <cstddef>
#include <cstdint>
#include <fstream>

#include "FuzzHost.h"
#include "nav/AirSpaceManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzzPluginFolder() + "atc.dat";
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    AirSpaceManager::loadFile(path);
    for (const auto& airSpace : AirSpaceManager::airSpaces) {
        const GeoPoint& at = airSpace->polygon.front();
        AirSpaceManager::newAirSpace(at.latitude, at.longitude, airSpace->minAlt);
        AirSpaceManager::findNearestTransmitter(airSpace->center.latitude, airSpace->center.longitude, airSpace->maxAlt, 200);
    }
    AirSpaceManager::clear();
    return 0;
}
