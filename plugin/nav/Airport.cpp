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

// Neither caller replaces a record: the parser because the first scenery pack
// wins, the cache because it holds each ident once. With `checkForDup` set the
// duplicate is dropped knowingly; without it the insertion keeps the existing one.
void cAirport::addAirport(cAirport airport, bool checkForDup) {
    (void)checkForDup;
    addAirport(airports, std::move(airport));
}

cAirport* cAirport::addAirport(std::map<std::string, cAirport>& into, cAirport airport) {
    if (airport.icaoCode.empty()) return nullptr;
    const auto position = into.lower_bound(airport.icaoCode);
    if (position != into.end() && position->first == airport.icaoCode) return nullptr;
    const bool towered = airport.findInBand("Twr") != nullptr;
    airport.hasRadarServices = towered && airport.findInBand("Clr") &&
                               (airport.findInBand("App") || airport.findInBand("Dep"));
    const std::string& ident = airport.icaoCode;
    if (!towered &&
        (ident.compare(0, 2, "EG") == 0 || ident.compare(0, 2, "NZ") == 0 || ident.compare(0, 2, "FA") == 0))
        airport.useStandardOverheadJoin = true;
    // Lists grown while parsing carry spare capacity; the map keeps tens of thousands of records.
    airport.frequencies.shrink_to_fit();
    airport.runways.shrink_to_fit();
    airport.startLocations.shrink_to_fit();
    std::string key = airport.icaoCode;
    return &into.emplace_hint(position, std::move(key), std::move(airport))->second;
}
