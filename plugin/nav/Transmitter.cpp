#include "Transmitter.h"

#include <algorithm>
#include <cmath>

#include "common/Common.h"

std::map<int, std::map<int, std::vector<Transmitter>>> TransmitterIndex::latitudes;

namespace {

constexpr double METERS_PER_NM = 1852.0;
// Cheap bounds before the ellipsoid distance: a degree of latitude is never
// shorter than 59.6 NM, and the sphere of distanceLatLon is within 1% of the
// ellipsoid.
constexpr double MIN_NM_PER_DEGREE_LAT = 59.6;
constexpr double SPHERE_MARGIN = 1.01;

int band(double lat) { return static_cast<int>(std::clamp(lat, -90.0, 90.0)); }

}  // namespace

void TransmitterIndex::addTransmitter(Transmitter& transmitter) {
    latitudes[band(transmitter.lat)][transmitter.frequency].push_back(transmitter);
}

bool TransmitterIndex::isAnotherClose(Transmitter& transmitter, float rangeNM, double& actualDistance) {
    const int first = band(transmitter.lat - 2);
    const int last = band(transmitter.lat + 2);
    for (auto bandIt = latitudes.lower_bound(first); bandIt != latitudes.end() && bandIt->first <= last; ++bandIt) {
        auto sites = bandIt->second.find(transmitter.frequency);
        if (sites == bandIt->second.end()) continue;
        for (const Transmitter& other : sites->second) {
            if (std::fabs(other.lat - transmitter.lat) * MIN_NM_PER_DEGREE_LAT >= rangeNM) continue;
            if (distanceLatLon(transmitter.lat, transmitter.lon, other.lat, other.lon, 'N') >= rangeNM * SPHERE_MARGIN)
                continue;
            actualDistance = getDistanceVincenty(transmitter.lat, transmitter.lon, other.lat, other.lon) / METERS_PER_NM;
            if (actualDistance < rangeNM) return true;
        }
    }
    return false;
}

void TransmitterIndex::clear() { latitudes.clear(); }
