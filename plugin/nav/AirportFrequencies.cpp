// Which frequency of an airport serves a position, with the fall-backs the
// controllers use when an airport lacks one.
#include "Airport.h"

const cFrequency* cAirport::findInBand(const char* type) const {
    for (const cFrequency& frequency : frequencies)
        if (frequency.freq >= MIN_ATC_FREQUENCY && frequency.freq <= MAX_ATC_FREQUENCY && frequency.type == type)
            return &frequency;
    return nullptr;
}

cFrequency cAirport::firstInBand(const char* type) const {
    const cFrequency* frequency = findInBand(type);
    return frequency ? *frequency : cFrequency();
}

cFrequency cAirport::getTowerFrequency() const { return firstInBand("Twr"); }
cFrequency cAirport::getGroundFrequency() const { return firstInBand("Gnd"); }
cFrequency cAirport::getClearanceFrequency() const { return firstInBand("Clr"); }
cFrequency cAirport::getApproachFrequency() const { return firstInBand("App"); }
cFrequency cAirport::getDepartureFrequency() const { return firstInBand("Dep"); }
int cAirport::getAtisFrequency() const { return firstInBand("Atis").freq; }

cFrequency cAirport::getCtafFrequency() const {
    for (const cFrequency& frequency : frequencies)
        if (frequency.type == "Unicom") return frequency;
    return cFrequency(DEFAULT_UNICOM_FREQUENCY, "Unicom", "Unicom");
}

cFrequency cAirport::getApproachOrDeparture() const {
    cFrequency frequency = getApproachFrequency();
    return frequency.freq != 0 ? frequency : getDepartureFrequency();
}

cFrequency cAirport::getDepartureOrApproach() const {
    cFrequency frequency = getDepartureFrequency();
    return frequency.freq != 0 ? frequency : getApproachFrequency();
}

cFrequency cAirport::getBestClearanceFrequency() const {
    cFrequency frequency = getClearanceFrequency();
    if (frequency.freq == 0) frequency = getGroundFrequency();
    if (frequency.freq == 0) frequency = getTowerFrequency();
    return frequency;
}

cFrequency cAirport::getBestGroundFrequency() const {
    cFrequency frequency = getGroundFrequency();
    if (frequency.freq == 0) frequency = getTowerFrequency();
    if (frequency.freq == 0) frequency = getCtafFrequency();
    return frequency;
}

cFrequency cAirport::getBestTowerFrequency(std::string& type) const {
    cFrequency frequency = getTowerFrequency();
    if (frequency.freq > 0) {
        type = "Tower";
        return frequency;
    }
    type = "CTAF";
    return getCtafFrequency();
}

bool cAirport::isTowered() const { return getTowerFrequency().freq > 0; }
bool cAirport::hasAtis() const { return isTowered() && getAtisFrequency() > 0; }
bool cAirport::allowRadarServices() const { return isTowered() && getApproachOrDeparture().freq > 0; }
