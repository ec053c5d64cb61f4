#include "Facility.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "FacilityManager.h"
#include "common/CLocale.h"
#include "common/Common.h"
#include "nav/AirSpaceManager.h"
#include "nav/Airport.h"
#include "nav/AirportDatabase.h"

Facility* facilities[FACILITY_FREQUENCIES] = {};

namespace {

bool inBand(int frequency) { return frequency >= FACILITY_FREQUENCY_MIN && frequency <= FACILITY_FREQUENCY_MAX; }

// A station somewhere on Earth; damaged data can say "inf" or 1e300.
bool onEarth(double lat, double lon) {
    return std::isfinite(lat) && std::isfinite(lon) && std::fabs(lat) <= 90 && std::fabs(lon) <= 180;
}

void copyText(char* destination, size_t size, const std::string& text) {
    snprintf(destination, size, "%s", text.c_str());
}

// Puts a record at the head of its frequency's list and into the bands.
void index(Facility* facility) {
    Facility*& head = facilities[facility->freq - FACILITY_FREQUENCY_MIN];
    facility->next = head;
    head = facility;
    FacilityManager::addFacility(facility);
}

// "127.62" is 127,625 kHz: two decimals name the 25 kHz channel.
int parseFrequency(std::string field) {
    for (char& c : field)
        if (c == '.') c = ' ';
    char megahertz[64] = "", fraction[64] = "";
    if (sscanf(field.c_str(), "%63s %63s", megahertz, fraction) < 1) return 0;
    std::string digits = fraction;
    if (digits.size() == 1) digits += "00";
    else if (digits.size() == 2) digits += (digits[1] == '2' || digits[1] == '7') ? "5" : "0";
    // Numbers far outside the band could overflow; they are simply not a frequency.
    const long long whole = strtoll(megahertz, nullptr, 10);
    const long long part = strtoll(digits.c_str(), nullptr, 10);
    if (whole < 0 || whole > 1000 || part < 0 || part > 999999) return 0;
    return static_cast<int>(whole * 1000 + part);
}

bool parseCoordinate(const std::string& field, double& value) {
    char* end = nullptr;
    value = parseDoubleC(field.c_str(), &end);
    return end != field.c_str();
}

// One center station per transmitter site of the airspaces, serving the
// airspace's altitude band.
void addCenterFacilities() {
    for (const auto& airSpace : AirSpaceManager::airSpaces)
        for (const Transmitter& site : airSpace->transmitterLocations)
            if (Facility* facility = addFacility(site.lat, site.lon, airSpace->id,
                                                 cFrequency(site.frequency, "Ctr", airSpace->name + " CENTER"))) {
                facility->minAlt = airSpace->minAlt;
                facility->maxAlt = airSpace->maxAlt;
            }
}

}  // namespace

const char* facilityTypeForFilter(unsigned filterBit) {
    switch (filterBit) {
        case FILTER_ATIS: return "Atis";
        case FILTER_CLR: return "Clr";
        case FILTER_GND: return "Gnd";
        case FILTER_TWR: return "Twr";
        case FILTER_DEP: return "Dep";
        case FILTER_CTR: return "Ctr";
        case FILTER_APP: return "App";
        case FILTER_UNICOM: return "Unicom";
        default: return "";
    }
}

Facility* addFacility(double lat, double lon, const std::string& icaoCode, const cFrequency& frequency) {
    if (!inBand(frequency.freq) || !onEarth(lat, lon)) return nullptr;
    auto* facility = new Facility();
    copyText(facility->icaoCode, sizeof facility->icaoCode, icaoCode);
    copyText(facility->name, sizeof facility->name, frequency.name);
    copyText(facility->type, sizeof facility->type, frequency.type);
    facility->freq = frequency.freq;
    facility->lat = lat;
    facility->lon = lon;
    index(facility);
    return facility;
}

void loadFreqCSV() {
    const std::string path = makePluginFileName("freq.csv");
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        sLogMsg("Unable to open %s", path.c_str());
        return;
    }
    std::string line;
    int lineNumber = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        line = line.substr(0, std::min(line.find_first_of("\r\n"), static_cast<size_t>(2000)));
        std::vector<std::string> tokens;
        size_t start = 0;
        while (start <= line.size()) {
            size_t comma = line.find(',', start);
            if (comma == std::string::npos) comma = line.size();
            if (comma > start) tokens.push_back(line.substr(start, comma - start));
            start = comma + 1;
        }
        if (tokens.empty()) continue;
        if (tokens.size() != 6) {
            sLogMsg("Invalid frequency entry at line %d in %s", lineNumber, path.c_str());
            continue;
        }
        const int frequency = parseFrequency(tokens[ATC_FACILITY_FREQUENCY]);
        if (!inBand(frequency)) continue;  // the header line, or a station off the band
        double lat = 0, lon = 0;
        // A position that does not scan would put the station at 0,0: as invalid as a short line.
        if (!parseCoordinate(tokens[ATC_FACILITY_LAT], lat) || !parseCoordinate(tokens[ATC_FACILITY_LON], lon) ||
            !onEarth(lat, lon)) {
            sLogMsg("Invalid frequency entry at line %d in %s", lineNumber, path.c_str());
            continue;
        }
        auto* facility = new Facility();
        copyText(facility->type, sizeof facility->type, tokens[ATC_FACILITY_TYPE]);
        copyText(facility->icaoCode, sizeof facility->icaoCode, tokens[ATC_FACILITY_ICAO_CODE]);
        copyText(facility->name, sizeof facility->name, tokens[ATC_FACILITY_NAME]);
        facility->freq = frequency;
        facility->lat = lat;
        facility->lon = lon;
        index(facility);
    }
}

void getFacilities() {
    loadAirports();
    indexFacilities();
}

void indexFacilities() {
    clearFacilities();
    if (AirSpaceManager::airSpaces.empty())
        loadFreqCSV();
    else
        addCenterFacilities();

    for (const auto& entry : cAirport::airports) {
        const cAirport& airport = entry.second;
        const cFrequency* unicom = nullptr;
        const cFrequency* tower = nullptr;
        for (const cFrequency& frequency : airport.frequencies) {
            if (!inBand(frequency.freq)) continue;
            if (frequency.type == "Unicom") {
                unicom = &frequency;
                continue;
            }
            addFacility(airport.latitude, airport.longtitude, airport.icaoCode, frequency);
            if (frequency.type == "Twr") tower = &frequency;
        }
        // A unicom on the tower's frequency is the tower after hours: one station, not two.
        if (unicom && (!tower || tower->freq != unicom->freq))
            addFacility(airport.latitude, airport.longtitude, airport.icaoCode, *unicom);
    }
}

void clearFacilities() {
    FacilityManager::clear();
    for (Facility*& head : facilities) {
        while (head) {
            Facility* next = head->next;
            delete head;
            head = next;
        }
    }
}

Facility* findNearestFacility(double lat, double lon, int frequency, double range) {
    if (!inBand(frequency)) return nullptr;
    Facility* nearest = nullptr;
    double nearestDistance = 0;
    for (Facility* facility = facilities[frequency - FACILITY_FREQUENCY_MIN]; facility; facility = facility->next) {
        const double distance = distanceLatLon(lat, lon, facility->lat, facility->lon, 'N');
        if (distance < range && (!nearest || distance < nearestDistance)) {
            nearest = facility;
            nearestDistance = distance;
        }
    }
    return nearest;
}

int getNearestFacilities(Facility** out, int maxEntries, double range, unsigned filters) {
    FacilityDistances found;
    FacilityManager::getNearestFacilityByType(filters, static_cast<int>(range), found);
    int count = 0;
    for (auto it = found.begin(); it != found.end() && count < maxEntries; ++it) out[count++] = it->second;
    return count;
}
