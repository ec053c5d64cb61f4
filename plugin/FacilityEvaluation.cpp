#include "FacilityEvaluation.h"

#include <atomic>
#include <cstring>

#include "Controllers.h"
#include "Integrations.h"
#include "SayIntentions.h"
#include "Settings.h"
#include "SimState.h"
#include "common/CLocale.h"
#include "common/Common.h"
#include "nav/Facility.h"

namespace {

constexpr int kCenterOverrideFrequency = 123275;
constexpr double kTunedRange = 50;
constexpr double kNearOrigin = 10;

std::atomic<bool> gAutomaticPause{false};

void pauseWith(const std::string& caption) {
    gAutomaticPause = true;
    setFacilityCaption(caption);
}

bool isAtis(const Facility* facility) { return facility && strcmp(facility->type, "Atis") == 0; }

Facility* nearestOn(int frequency, double range) {
    double lat, lon;
    getLocation(lat, lon);
    return findNearestFacility(lat, lon, frequency, range);
}

double distanceFromOrigin() {
    double lat, lon, originLat, originLon;
    getLocation(lat, lon);
    getOrigin(originLat, originLon);
    return distanceLatLon(originLat, originLon, lat, lon, 'N');
}

void select(int controller, const std::string& caption) {
    setActiveController(controller);
    setFacilityCaption(caption);
}

// X-Plane's own ATC tells what is tuned; this runs whatever automaticControllers says.
void followXPlaneATC(const Facility* nearest, double fromOrigin) {
    const XPlaneATCState atc = getXPlaneATCState();
    const bool useCOM1 = gSettings.useCOM1;
    if (isAtis(nearest) || checkForAtisOnOtherRadio()) {
        pauseWith(formatC("%s ATIS - Chatter Paused", nearest ? nearest->icaoCode : ""));
        return;
    }
    if (useCOM1 && atc.com1Facility == 0) return pauseWith("No Tuned Facility on COM1");
    if (!useCOM1 && atc.com2Facility == 0) return pauseWith("No Tuned Facility on COM2");
    const bool near = fromOrigin < kNearOrigin;
    switch (useCOM1 ? atc.com1Facility : atc.com2Facility) {
        case 1: return select(CONTROLLER_CLR, "CLEARANCE");
        case 2: return select(near ? CONTROLLER_DEP_GND : CONTROLLER_DEST_GND, "GROUND");
        case 3: return select(near ? CONTROLLER_DEP_TWR : CONTROLLER_DEST_TWR, "TOWER");
        case 4: return near ? select(CONTROLLER_DEP, "DEPARTURE") : select(CONTROLLER_APP, "APPROACH");
        case 5: return select(CONTROLLER_CTR, "CENTER");
        default: return pauseWith("Unknown Facility Type");
    }
}

void followNearestFacility(const Facility* facility, int range, double fromOrigin) {
    if (!facility) return pauseWith(formatC("Out of Range (%d NM) - Chatter Paused", range));
    if (isAtis(facility) || checkForAtisOnOtherRadio())
        return pauseWith(formatC("%s ATIS - Chatter Paused", facility->icaoCode));
    const bool near = fromOrigin < kNearOrigin;
    const std::string type = facility->type;
    const char* icao = facility->icaoCode;
    const char* name = facility->name;
    if (type == "Ctr") return select(CONTROLLER_CTR, formatC("%s CENTER %s", icao, name));
    if (type == "App") return select(CONTROLLER_APP, formatC("%s APPROACH %s", icao, name));
    if (type == "Clr") return select(CONTROLLER_CLR, formatC("%s CLEARANCE %s", icao, name));
    if (type == "Dep") return select(CONTROLLER_DEP, formatC("%s DEPARTURE %s", icao, name));
    if (type == "Gnd")
        return select(near ? CONTROLLER_DEP_GND : CONTROLLER_DEST_GND, formatC("%s GROUND %s", icao, name));
    if (type == "Twr")
        return select(near ? CONTROLLER_DEP_TWR : CONTROLLER_DEST_TWR, formatC("%s TOWER %s", icao, name));
    if (type == "Unicom")
        return select(near ? CONTROLLER_DEP_UNI : CONTROLLER_DEST_UNI, formatC("%s CTAF %s", icao, name));
    showCaptionBuffer();
}

}  // namespace

int getRadioRange() {
    const double agl = getAGL();
    if (agl < 1001) return 40;
    if (agl < 5001) return 90;
    if (agl < 10001) return 120;
    return 200;
}

Facility* getTunedFacility() {
    const Radios radios = getRadios();
    return nearestOn(getCom1Selector() != 0 ? radios.com1Freq : radios.com2Freq, kTunedRange);
}

bool checkForAtisOnOtherRadio() {
    if (!gSettings.pauseOnAnyAtis || gSettings.useSayIntentions) return false;
    const Radios radios = getRadios();
    return (getCom1Selector() != 0 && isAtis(nearestOn(radios.com1Freq, kTunedRange))) ||
           (getCom2Selector() != 0 && isAtis(nearestOn(radios.com2Freq, kTunedRange)));
}

bool isAutomaticPause() { return gAutomaticPause; }

void evaluateFacility() {
    gAutomaticPause = false;

    const int mode = getIntegrationMode();
    if (gSettings.enableExternalIntegrations && mode >= INTEGRATION_PLAY_CONTROLLER_CLR &&
        mode <= INTEGRATION_PLAY_CONTROLLER_DEST_UNI) {
        const int controller = mode - INTEGRATION_PLAY_CONTROLLER_CLR;
        select(controller, formatC("%s %s", getIntegrationPrefix().c_str(), getControllerName(controller)));
        return;
    }

    if (gSettings.useSayIntentions) {
        const unsigned controller = SayIntentions::getInstance()->getController();
        if (controller >= 1 && controller <= MAX_CONTROLLERS)
            select(static_cast<int>(controller) - 1,
                   formatC("SayIntentions.AI %s", getControllerName(static_cast<int>(controller) - 1)));
        return;
    }

    const int range = getRadioRange();
    const Facility* facility = nearestOn(getCurrentFrequency(), range);
    const double fromOrigin = distanceFromOrigin();

    if (gSettings.useXPlaneATC && hasXPlaneATCDataRefs()) return followXPlaneATC(facility, fromOrigin);

    if (gSettings.enableCenterOverride &&
        (getCurrentFrequency() == kCenterOverrideFrequency ||
         (getCom2Selector() != 0 && getCom2Frequency() == kCenterOverrideFrequency)))
        return select(CONTROLLER_CTR, "OVERRIDE CENTER");

    if (!gSettings.automaticControllers || !gSettings.playChatter) return setFixedCaption("");

    followNearestFacility(facility, range, fromOrigin);
}
