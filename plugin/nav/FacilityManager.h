// Facilities banded by whole degrees of latitude, by type and by frequency,
// so that a search near the aircraft looks at a few bands, not the world.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Facility.h"

struct LatIndex {
    std::map<std::string, std::vector<Facility*>> byType;
    std::map<int, std::vector<Facility*>> byFreq;
};

class FacilityManager {
public:
    static std::map<int, LatIndex> index;

    static void addFacility(Facility* facility);
    static void clear();
    // Every facility of the filters' types within maxDistance NM of the
    // aircraft, keyed by distance (equal distances in insertion order).
    static void getNearestFacilityByType(unsigned filters, int maxDistance, FacilityDistances& out);
    static void getNearestFacilityByFreq(int frequency, int maxDistance, FacilityDistances& out);
    // The band of a latitude: truncated towards zero.
    static int bandOf(double latitude) { return static_cast<int>(latitude); }
    // The bands a search of maxDistance NM around the latitude visits: [first, last).
    static void searchBands(double latitude, int maxDistance, int& first, int& last);
};
