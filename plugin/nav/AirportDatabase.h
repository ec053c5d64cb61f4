// Filling the airport map at start: from the plug-in's cache "airports.dat",
// or by reading every apt.dat of the scenery in priority order and writing a
// new cache when the cache is missing, outdated or the scenery changed.
#pragma once

#include <string>

#include "nav/Airport.h"

constexpr int AIRPORT_CACHE_VERSION = 10;

void loadAirports();
// The rebuild: every apt.dat in scenery priority order, then the cache.
void readAirports();
// True when scenery_packs.ini changed since the last rebuild; records the new list.
bool hasCustomSceneryChanges();
void processAirportFile(const std::string& path);
void dumpAirports();

enum class AirportCacheResult { LOADED, MISSING, OUTDATED, DAMAGED };
// Reads the cache into the map; what was read before a damaged record stays.
AirportCacheResult readAirportCache(const std::string& path);

std::string fixRunwayName(const std::string& name);
void calculateRunwayHeadings(cRunway& end1, cRunway& end2);
