#include "Airport.h"

std::map<std::string, cAirport> cAirport::airports;

void cFrequency::clear() {
    freq = 0;
    type.clear();
    name.clear();
}

void cAirport::clear() {
    frequencies.clear();
    runways.clear();
    startLocations.clear();
    icaoCode.clear();
    trueIcaoCode.clear();
    lat_lon_found = false;
    hasRadarServices = false;
    rightPattern = false;
    overfly = false;
    straightInOutArrivalDeparture = false;
    crossWind45Departure = false;
    useStandardOverheadJoin = false;
}

cAirport* cAirport::getAirport(const std::string& ident) {
    auto it = airports.find(ident);
    return it == airports.end() ? nullptr : &it->second;
}

void cAirport::removeAllAirports() { airports.clear(); }

void cAirport::addAirport(cAirport airport, bool checkForDup) {
    if (airport.icaoCode.empty()) return;
    // Without the check an existing entry is still kept, as the insertion never replaces one.
    if (checkForDup && airports.count(airport.icaoCode)) return;
    airport.hasRadarServices = airport.getClearanceFrequency().freq > 0 && airport.getTowerFrequency().freq > 0 &&
                               airport.getApproachOrDeparture().freq > 0;
    const std::string& ident = airport.icaoCode;
    if (!airport.isTowered() &&
        (ident.compare(0, 2, "EG") == 0 || ident.compare(0, 2, "NZ") == 0 || ident.compare(0, 2, "FA") == 0))
        airport.useStandardOverheadJoin = true;
    // Lists grown while parsing carry spare capacity; the map keeps tens of thousands of records.
    airport.frequencies.shrink_to_fit();
    airport.runways.shrink_to_fit();
    airport.startLocations.shrink_to_fit();
    std::string key = airport.icaoCode;
    airports.emplace_hint(airports.end(), std::move(key), std::move(airport));
}
