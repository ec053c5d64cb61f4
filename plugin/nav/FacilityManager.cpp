#include "FacilityManager.h"

#include <algorithm>
#include <cmath>

#include "SimState.h"
#include "common/Common.h"

std::map<int, LatIndex> FacilityManager::index;

void FacilityManager::addFacility(Facility* facility) {
    if (!facility || !std::isfinite(facility->lat)) return;
    LatIndex& band = index[bandOf(facility->lat)];
    band.byType[facility->type].push_back(facility);
    band.byFreq[facility->freq].push_back(facility);
}

void FacilityManager::clear() { index.clear(); }

void FacilityManager::searchBands(double latitude, int maxDistance, int& first, int& last) {
    const int reach = static_cast<int>(std::round(maxDistance / 60.0)) + 1;
    first = std::max(-90, std::min(90, bandOf(latitude - reach)));
    last = std::max(-90, std::min(90, bandOf(latitude + reach)));
}

namespace {

// Longitudes further from the aircraft than this cannot be within reach in the
// searched bands: a cheap test that spares most great-circle distances and
// never drops a facility the distance would keep.
double longitudeReach(double lat, int maxDistance, int firstBand, int lastBand) {
    const double toRad = M_PI / 180;
    const double farthestLatitude = std::max(std::fabs(firstBand - 1.0), std::fabs(lastBand + 1.0));
    const double cosProduct = std::cos(lat * toRad) * std::cos(std::min(89.9, farthestLatitude) * toRad);
    // Half the angle of the great circle spanned by maxDistance, with room for rounding.
    const double halfAngle = (maxDistance * 1.01 + 1) / (haversine_mi * 0.868976) / 2;
    const double bound = std::sin(std::min(halfAngle, M_PI / 2)) / std::sqrt(std::max(cosProduct, 1e-12));
    return bound >= 1 ? 360 : 2 * std::asin(bound) / toRad;
}

// Adds the facilities of one list that lie within reach, keyed by distance.
void collect(const std::vector<Facility*>& list, double lat, double lon, double lonReach, int maxDistance,
             FacilityDistances& out) {
    for (Facility* facility : list) {
        double lonDifference = std::fabs(facility->lon - lon);
        if (lonDifference > 180) lonDifference = 360 - lonDifference;
        if (lonDifference > lonReach) continue;
        const float distance = static_cast<float>(distanceLatLon(lat, lon, facility->lat, facility->lon, 'N'));
        if (distance > maxDistance) continue;
        facility->currentDistance = distance;
        out.emplace(distance, facility);  // after its equals: insertion order is kept
    }
}

template <typename Visit>
void forEachBand(int maxDistance, Visit&& visit) {
    double lat, lon;
    getLocation(lat, lon);
    int first, last;
    FacilityManager::searchBands(lat, maxDistance, first, last);
    const double lonReach = longitudeReach(lat, maxDistance, first, last);
    for (int band = first; band < last; ++band) {
        auto it = FacilityManager::index.find(band);
        if (it != FacilityManager::index.end()) visit(it->second, lat, lon, lonReach);
    }
}

}  // namespace

void FacilityManager::getNearestFacilityByType(unsigned filters, int maxDistance, FacilityDistances& out) {
    out.clear();
    forEachBand(maxDistance, [&](const LatIndex& band, double lat, double lon, double lonReach) {
        for (unsigned bit = FILTER_ATIS; bit <= FILTER_UNICOM; bit <<= 1) {
            if (!(filters & bit)) continue;
            auto list = band.byType.find(facilityTypeForFilter(bit));
            if (list != band.byType.end()) collect(list->second, lat, lon, lonReach, maxDistance, out);
        }
    });
}

void FacilityManager::getNearestFacilityByFreq(int frequency, int maxDistance, FacilityDistances& out) {
    out.clear();
    forEachBand(maxDistance, [&](const LatIndex& band, double lat, double lon, double lonReach) {
        auto list = band.byFreq.find(frequency);
        if (list != band.byFreq.end()) collect(list->second, lat, lon, lonReach, maxDistance, out);
    });
}
