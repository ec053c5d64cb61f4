// Questions about an airport and the aircraft: distances, runways, the runway
// for the wind, the gate, the nearest airport and the traffic-pattern position.
#include <cmath>
#include <cstdlib>

#include "Airport.h"
#include "Settings.h"
#include "SimState.h"
#include "atc/Transmission.h"
#include "common/Common.h"
#include "host/XplmNavigation.h"

namespace {

double distanceToAircraft(double latitude, double longitude) {
    double aircraftLatitude = 0, aircraftLongitude = 0;
    getLocation(aircraftLatitude, aircraftLongitude);
    return distanceLatLon(latitude, longitude, aircraftLatitude, aircraftLongitude, 'N');
}

// The leading digits of a text as a number (0 when there are none).
int leadingNumber(const std::string& text) {
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        if (value < 100000) value = value * 10 + (c - '0');
    }
    return static_cast<int>(value);
}

}  // namespace

float cRunway::getMagneticHeading() const {
    float heading = trueHeading + XPLMGetMagneticVariation(latitude, longitude);
    if (heading > 360) heading -= 360;
    return heading;
}

double cRunway::getDistance() const { return distanceToAircraft(latitude, longitude); }

double cAirport::getDistance() const { return distanceToAircraft(latitude, longtitude); }

double cAirport::getRunwayDistance() const {
    const cRunway* runway = findRunway(m_SelectedRunway);
    return runway ? runway->getDistance() : getDistance();
}

const cRunway* cAirport::findRunway(const std::string& runwayName) const {
    const std::string& wanted = runwayName.empty() ? m_SelectedRunway : runwayName;
    for (const cRunway& runway : runways)
        if (runway.number == wanted) return &runway;
    return nullptr;
}

cRunway* cAirport::findRunway(const std::string& runwayName) {
    return const_cast<cRunway*>(static_cast<const cAirport*>(this)->findRunway(runwayName));
}

std::vector<GeoPoint> cAirport::getRunwayEndPoints(const std::string& runwayName) const {
    std::vector<GeoPoint> points;
    const cRunway* last = nullptr;
    for (const cRunway& runway : runways) {
        if (runway.number != runwayName) continue;
        points.push_back({runway.latitude, runway.longitude});
        last = &runway;
    }
    if (!last) return points;
    const std::string opposite = last->oppositeNumber;
    for (const cRunway& runway : runways)
        if (runway.number == opposite) points.push_back({runway.latitude, runway.longitude});
    return points;
}

float cAirport::getRunwayMagneticHeading(const std::string& runwayName) const {
    for (const cRunway& runway : runways)
        if (runway.number == runwayName) return runway.getMagneticHeading();
    return static_cast<float>(leadingNumber(runwayName) * 10);
}

std::string cAirport::getRecommendedRunway() const {
    const Wind wind = getWind(static_cast<float>(elevation), false);
    if (gSettings.debugOutput) logMsg("getRecommendedRunway called");
    if (runways.empty()) return "";
    if (wind.speedKnots < 3) {
        // Calm: the longest runway, in the direction nearer the aircraft's heading.
        const cRunway* longest = &runways[0];
        for (const cRunway& runway : runways)
            if (runway.lengthInFeet > longest->lengthInFeet) longest = &runway;
        const cRunway* opposite = findRunway(longest->oppositeNumber);
        const float heading = getMagneticHeading();
        if (opposite && diffAngles(heading, opposite->getMagneticHeading()) <
                            diffAngles(heading, longest->getMagneticHeading()))
            return opposite->number;
        return longest->number;
    }
    std::string answer = runways[0].number;
    int bestDifference = 36;
    const int windAngle = static_cast<int>(wind.directionMagnetic / 10);
    for (const cRunway& runway : runways) {
        if (runway.type == HELIPAD) continue;
        const int difference = std::abs(leadingNumber(runway.number.substr(0, 2)) - windAngle);
        if (difference < bestDifference) {
            bestDifference = difference;
            answer = runway.number;
        }
    }
    return answer;
}

std::string cAirport::getGateString() const {
    const cStartLocation* nearest = nullptr;
    double nearestDistance = 5000;
    for (const cStartLocation& location : startLocations) {
        const double distance = distanceToAircraft(location.latitude, location.longtitude);
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = &location;
        }
    }
    if (!nearest) return "";
    const std::string& name = nearest->name;
    bool digitsAfterFirst = name.size() > 1;
    for (size_t i = 1; i < name.size() && digitsAfterFirst; ++i) digitsAfterFirst = name[i] >= '0' && name[i] <= '9';
    if (digitsAfterFirst) return Transmission::phonetic(name, false);
    std::string text = name;
    for (char& c : text)
        if (c == '_') c = ' ';
    return text;
}

cAirport* cAirport::getClosestAirport(bool trueIcaoOnly, bool approximateDistance) {
    double latitude = 0, longitude = 0;
    getLocation(latitude, longitude);
    if (!trueIcaoOnly && !approximateDistance) {
        float lat = static_cast<float>(latitude), lon = static_cast<float>(longitude);
        const XPLMNavRef ref = XPLMFindNavAid(nullptr, nullptr, &lat, &lon, nullptr, xplm_Nav_Airport);
        if (ref != XPLM_NAV_NOT_FOUND) {
            char ident[32] = "";
            XPLMGetNavAidInfo(ref, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, ident, nullptr, nullptr);
            ident[sizeof ident - 1] = '\0';
            if (cAirport* airport = getAirport(ident)) return airport;
        }
    }
    cAirport* best = nullptr;
    double bestDistance = 1000000;
    for (auto& [ident, airport] : airports) {
        if (trueIcaoOnly && airport.trueIcaoCode.empty()) continue;
        double distance;
        if (!approximateDistance && !airport.startLocations.empty()) {
            distance = 1e300;
            for (const cStartLocation& location : airport.startLocations)
                distance = std::min(distance, distanceLatLon(latitude, longitude, location.latitude,
                                                             location.longtitude, 'N'));
        } else {
            distance = distanceLatLon(latitude, longitude, airport.latitude, airport.longtitude, 'N');
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &airport;
        }
    }
    return best;
}

bool cAirport::isOnHeading(double heading, int tolerance) const {
    const double target = fixAngle(heading);
    const double aircraft = std::round(getMagneticHeading());
    if (!std::isfinite(target) || !std::isfinite(aircraft)) return false;
    int difference = std::abs(static_cast<int>(target) - static_cast<int>(aircraft));
    if (difference > 180) difference = std::abs(difference - 360);
    return difference < tolerance;
}

bool cAirport::isLinedUp() const {
    const cRunway* runway = findRunway(m_SelectedRunway);
    return runway ? isOnHeading(runway->getMagneticHeading(), 20) : true;
}

double cAirport::selectedRunwayHeading() const { return leadingNumber(m_SelectedRunway) * 10.0; }

bool cAirport::isOnFinal() const { return isOnHeading(selectedRunwayHeading(), 20); }
bool cAirport::isOnDownWind() const { return isOnHeading(selectedRunwayHeading() + 180, 20); }
bool cAirport::isOnBase() const { return isOnHeading(selectedRunwayHeading() + (rightPattern ? -90 : 90), 20); }
bool cAirport::isOn45() const { return isOnHeading(selectedRunwayHeading() + (rightPattern ? -135 : 135), 20); }

bool cAirport::isOverhead() {
    const double distance = getRunwayDistance();
    const bool overhead = distance < 2 && distance > lastOverheadDistance;  // moving away from the runway end
    overheadElevation = overhead ? getTrueAltitude() : 0;
    lastOverheadDistance = distance;
    return overhead;
}

bool cAirport::isDecendingDeadSide() const { return getTrueAltitude() < overheadElevation - 200; }
