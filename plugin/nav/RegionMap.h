// Which airports belong to which world region (by the first letter of their
// ICAO code, from the user-editable RegionMap.txt) and to which country (from
// IdentToCountry.csv), and the automatic choice of the region or country clip
// collections of the nearest airport while the aircraft flies.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "nav/Regions.h"

class RegionMapManager {
public:
    static RegionMapManager* getInstance();
    // Destroys the instance, which writes RegionMap.txt.
    static void removeInstance();

    void readMapping();
    // False (and logged) when RegionMap.txt could not be written.
    bool saveMapping();
    // The country of the ident (exact match), or "".
    std::string findCountry(const std::string& ident) const;
    // The country and the regions of the nearest airport with an ICAO code;
    // returns the number of matching regions. Nothing while automatic
    // selection is off.
    int selectRegion(std::string& country, std::map<std::string, bool>& matchingRegions);
    // Called every frame; about once a minute selects the region or country
    // collections of the nearest airport.
    void checkRegion();
    // Makes the next checkRegion act at once.
    void resetRegionCheck();

    std::string regionNames[MAX_REGIONS];
    std::string regionIcaoMap[MAX_REGIONS];  // the first letters of each region's ICAO codes
    std::map<std::string, int> regionToIndex;
    std::map<std::string, std::string> icaoToCountry;

private:
    RegionMapManager();
    ~RegionMapManager();
    void readRegionMap();
    void readIdentToCountry();

    int64_t m_LastCheck;  // elapsed milliseconds of the last check
};
