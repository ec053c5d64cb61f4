// The ATC stations that can be heard: one record per frequency and position,
// built once at start from the airports and the centers, and the searches for
// the one heard on a frequency and the nearest ones of given types.
#pragma once

#include <map>
#include <string>

#include "common/AtomicValue.h"

struct cFrequency;

enum FacilityFilters {
    FILTER_ATIS = 1,
    FILTER_CLR = 2,
    FILTER_GND = 4,
    FILTER_TWR = 8,
    FILTER_DEP = 16,
    FILTER_CTR = 32,
    FILTER_APP = 64,
    FILTER_UNICOM = 128,
    FILTER_ALL = 255
};

enum FacilityColumns {
    ATC_FACILITY_TYPE = 0,
    ATC_FACILITY_ICAO_CODE = 1,
    ATC_FACILITY_NAME = 2,
    ATC_FACILITY_FREQUENCY = 3,
    ATC_FACILITY_LAT = 4,
    ATC_FACILITY_LON = 5
};

constexpr int FACILITY_FREQUENCY_MIN = 108000;
constexpr int FACILITY_FREQUENCY_MAX = 137999;
constexpr int FACILITY_FREQUENCIES = FACILITY_FREQUENCY_MAX - FACILITY_FREQUENCY_MIN + 1;

struct Facility {
    char icaoCode[5] = {};
    int freq = 0;  // kHz
    char name[50] = {};
    char type[50] = {};  // "Atis", "Clr", "Gnd", "Twr", "Dep", "App", "Ctr" or "Unicom"
    double lat = 0;
    double lon = 0;
    int minAlt = 0;
    int maxAlt = 60000;
    int currentVoiceIndex = -1;
    // NM from the aircraft at the last search that found it; searches run on
    // several threads, so it is written whole.
    AtomicValue<double> currentDistance{0.0};
    Facility* next = nullptr;  // the next facility on the same frequency
};

// Heads of the per-frequency lists, one per kHz of the band, newest first.
extern Facility* facilities[FACILITY_FREQUENCIES];

using FacilityDistances = std::multimap<float, Facility*>;

// Start: airports, then centers from the airspaces or freq.csv, then the
// airports' facilities.
void getFacilities();
// The same from the airports already loaded.
void indexFacilities();
void loadFreqCSV();
// The new record, or null for a frequency off the band.
Facility* addFacility(double lat, double lon, const std::string& icaoCode, const cFrequency& frequency);
// Stop: empties both indexes and frees every record.
void clearFacilities();

// The nearest facility on exactly `frequency` less than `range` NM away, or null.
Facility* findNearestFacility(double lat, double lon, int frequency, double range);
// Up to `maxEntries` facilities of the filter's types within `range` NM of the
// aircraft, nearest first; returns how many were written.
int getNearestFacilities(Facility** out, int maxEntries, double range, unsigned filters);
const char* facilityTypeForFilter(unsigned filterBit);
