#include "Integrations.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "Settings.h"
#include "SimState.h"
#include "common/Common.h"
#include "common/Guard.h"
#include "host/XplmData.h"

namespace {

std::atomic<int> gMode{INTEGRATION_CONTROL_OFF};
std::atomic<int> gExternalPause{0};
std::mutex gPrefixMutex;
std::string gPrefix = "Integration";

// XLife writes these on the simulator thread; the flight loop reads them there.
struct XLifeState {
    int positionIndex = atcpos_NON;
    int silent = 0;
    char icaoNow[5] = {};
    char center[500] = {};
    char atcText[500] = {};
    bool detected = false;
    bool airportLoaded = false;
    std::string originIcao;
    int64_t pendingDelay = 0;
    bool pauseActive = false;
    int64_t pauseEnd = 0;
} gXLife;

enum AddOn { ADDON_NONE, ADDON_124TH, ADDON_NEXTATC };
AddOn gAddOn = ADDON_NONE;
XPLMDataRef gRadioInUse = nullptr;
XPLMDataRef gFacilityId = nullptr;

XPLMDataRef gXPATC[4] = {};
std::mutex gXPATCMutex;
XPlaneATCState gXPATCState;

XPLMDataRef gPublished[7] = {};

void setPrefix(const char* prefix) {
    std::lock_guard<std::mutex> lock(gPrefixMutex);
    gPrefix = prefix;
}

void detectXLife() {
    gXLife.detected = true;
    setPrefix("X-Life");
}

// The XLife byte datarefs: reads and writes stay inside the dataref's size.
char* xlifeBuffer(intptr_t which, int& size) {
    switch (which) {
        case XLIFE_ICAO_NOW:
            size = sizeof gXLife.icaoNow;
            return gXLife.icaoNow;
        case XLIFE_ICAO_CTR:
            size = sizeof gXLife.center;
            return gXLife.center;
        default:
            size = sizeof gXLife.atcText;
            return gXLife.atcText;
    }
}

int readBytesUnguarded(void* refcon, void* out, int offset, int maxLength) {
    int size;
    const char* buffer = xlifeBuffer(reinterpret_cast<intptr_t>(refcon), size);
    if (!out) return size;
    if (offset < 0 || offset >= size || maxLength <= 0) return 0;
    int count = std::min(size - offset, maxLength);
    memcpy(out, buffer + offset, static_cast<size_t>(count));
    return count;
}

void writeBytesUnguarded(void* refcon, void* value, int offset, int length) {
    const intptr_t which = reinterpret_cast<intptr_t>(refcon);
    int size;
    char* buffer = xlifeBuffer(which, size);
    if (value && offset >= 0 && offset < size && length > 0)
        memcpy(buffer + offset, value, static_cast<size_t>(std::min(size - offset, length)));
    if (which == XLIFE_ICAO_NOW && gXLife.airportLoaded) {
        gXLife.originIcao.assign(gXLife.icaoNow, strnlen(gXLife.icaoNow, 4));
        gXLife.airportLoaded = false;
    } else if (which == XLIFE_ATC_TEXT) {
        const std::string text(gXLife.atcText, strnlen(gXLife.atcText, sizeof gXLife.atcText));
        gXLife.pendingDelay += static_cast<int64_t>(countWords(text)) * gSettings.xlifeMSPerWord;
    }
}

// Integer datarefs: the integration mode and external pause (0, 1) and
// XLife's position index and silent flag (2, 3).
int readIntUnguarded(void* refcon) {
    switch (reinterpret_cast<intptr_t>(refcon)) {
        case INTEGRATION_DATAREF_MODE: return gMode;
        case INTEGRATION_DATAREF_EXTERNAL_PAUSE: return gExternalPause;
        case XLIFE_ATC_INDEX: return gXLife.positionIndex;
        default: return gXLife.silent;
    }
}

void writeIntUnguarded(void* refcon, int value) {
    switch (reinterpret_cast<intptr_t>(refcon)) {
        case INTEGRATION_DATAREF_MODE: gMode = value; break;
        case INTEGRATION_DATAREF_EXTERNAL_PAUSE: gExternalPause = value; break;
        case XLIFE_ATC_INDEX:
            gXLife.positionIndex = value;
            detectXLife();
            break;
        default:
            gXLife.silent = value;
            detectXLife();
            break;
    }
}

// What other plug-ins call goes through the barrier like every simulator callback.
int readInt(void* refcon) { return guarded("integration dataref", 0, [=] { return readIntUnguarded(refcon); }); }
void writeInt(void* refcon, int value) {
    guardedVoid("integration dataref", [=] { writeIntUnguarded(refcon, value); });
}
int readBytes(void* refcon, void* out, int offset, int maxLength) {
    return guarded("integration dataref", 0, [=] { return readBytesUnguarded(refcon, out, offset, maxLength); });
}
void writeBytes(void* refcon, void* value, int offset, int length) {
    guardedVoid("integration dataref", [=] { writeBytesUnguarded(refcon, value, offset, length); });
}

XPLMDataRef publishInt(const char* name, intptr_t refcon) {
    void* ref = reinterpret_cast<void*>(refcon);
    return XPLMRegisterDataAccessor(name, xplmType_Int, 1, readInt, writeInt, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, ref, ref);
}

XPLMDataRef publishBytes(const char* name, intptr_t refcon) {
    void* ref = reinterpret_cast<void*>(refcon);
    return XPLMRegisterDataAccessor(name, xplmType_Data, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, readBytes, writeBytes, ref, ref);
}

int xlifeMode() {
    const int64_t now = getElapsedMilliSeconds();
    if (!gXLife.pauseActive && gXLife.pendingDelay > 0) {
        gXLife.pauseEnd = now + gXLife.pendingDelay;
        gXLife.pendingDelay = 0;
        gXLife.pauseActive = true;
    }
    if (gXLife.pauseActive) {
        if (now > gXLife.pauseEnd) gXLife.pauseActive = false;
        return INTEGRATION_PAUSE;
    }
    const std::string icao(gXLife.icaoNow, strnlen(gXLife.icaoNow, sizeof gXLife.icaoNow));
    const bool atDestination = (gXLife.positionIndex == atcpos_GROUND || gXLife.positionIndex == atcpos_TOWER) &&
                               !icao.empty() && !iequals(icao, gXLife.originIcao);
    switch (gXLife.positionIndex) {
        case atcpos_ATIS: return INTEGRATION_PAUSE;
        case atcpos_DELIVERY: return INTEGRATION_PLAY_CONTROLLER_CLR;
        case atcpos_GROUND:
            return atDestination ? INTEGRATION_PLAY_CONTROLLER_DEST_GND : INTEGRATION_PLAY_CONTROLLER_DEP_GND;
        case atcpos_TOWER:
            return atDestination ? INTEGRATION_PLAY_CONTROLLER_DEST_TWR : INTEGRATION_PLAY_CONTROLLER_DEP_TWR;
        case atcpos_APPROACH: return INTEGRATION_PLAY_CONTROLLER_APP;
        case atcpos_CENTER: return INTEGRATION_PLAY_CONTROLLER_CTR;
        default: return INTEGRATION_CONTROL_OFF;
    }
}

int addOnMode() {
    setPrefix(gAddOn == ADDON_124TH ? "124th" : "NextATC");
    double latitude, longitude, originLatitude, originLongitude;
    getLocation(latitude, longitude);
    getOrigin(originLatitude, originLongitude);
    const bool near = distanceLatLon(originLatitude, originLongitude, latitude, longitude, 'N') < 10;
    if (gRadioInUse && XPLMGetDatai(gRadioInUse) == 1) return INTEGRATION_PAUSE;
    switch (gFacilityId ? XPLMGetDatai(gFacilityId) : 0) {
        case 1: return INTEGRATION_PLAY_CONTROLLER_CLR;
        case 2: return near ? INTEGRATION_PLAY_CONTROLLER_DEP_GND : INTEGRATION_PLAY_CONTROLLER_DEST_GND;
        case 3: return near ? INTEGRATION_PLAY_CONTROLLER_DEP_TWR : INTEGRATION_PLAY_CONTROLLER_DEST_TWR;
        case 4: return INTEGRATION_PLAY_CONTROLLER_DEP;
        case 5: return INTEGRATION_PLAY_CONTROLLER_CTR;
        case 6: return near ? INTEGRATION_PLAY_CONTROLLER_DEP : INTEGRATION_PLAY_CONTROLLER_APP;
        default: return INTEGRATION_PAUSE;
    }
}

}  // namespace

void initIntegrations() {
    setPrefix("Integration");
    gMode = INTEGRATION_CONTROL_OFF;
    gExternalPause = 0;
    gXLife = XLifeState();
    XPLMDataRef next = XPLMFindDataRef("NextATC/radio_in_use");
    XPLMDataRef ours = XPLMFindDataRef("124thATC/radio_in_use");
    gAddOn = next ? ADDON_NEXTATC : ours ? ADDON_124TH : ADDON_NONE;
    gRadioInUse = next ? next : ours;
    gFacilityId = XPLMFindDataRef("124thATC/radio_facility_id");
    const char* atc[4] = {"sim/atc/com1_active", "sim/atc/com1_tuned_facility", "sim/atc/com2_active",
                          "sim/atc/com2_tuned_facility"};
    for (int i = 0; i < 4; ++i) gXPATC[i] = XPLMFindDataRef(atc[i]);
    std::lock_guard<std::mutex> lock(gXPATCMutex);
    gXPATCState = XPlaneATCState();
}

void registerIntegrationDataRefs() {
    gPublished[0] = publishInt("Orvan/Quillon/integration/mode", INTEGRATION_DATAREF_MODE);
    gPublished[1] = publishInt("Orvan/Quillon/external_pause", INTEGRATION_DATAREF_EXTERNAL_PAUSE);
    gPublished[2] = publishInt("Orvan/Quillon/xlife/pos_index", XLIFE_ATC_INDEX);
    gPublished[3] = publishInt("Orvan/Quillon/xlife/atc_silent", XLIFE_PAUSE);
    gPublished[4] = publishBytes("Orvan/Quillon/xlife/icao_now", XLIFE_ICAO_NOW);
    gPublished[5] = publishBytes("Orvan/Quillon/xlife/icao_centr", XLIFE_ICAO_CTR);
    gPublished[6] = publishBytes("Orvan/Quillon/xlife/atc_text", XLIFE_ATC_TEXT);
}

void unregisterIntegrationDataRefs() {
    for (XPLMDataRef& ref : gPublished) {
        if (ref) XPLMUnregisterDataAccessor(ref);
        ref = nullptr;
    }
}

void computeIntegrationMode() {
    if (gXLife.detected)
        gMode = xlifeMode();
    else if (gAddOn != ADDON_NONE)
        gMode = addOnMode();
}

int getIntegrationMode() { return gMode; }

std::string getIntegrationPrefix() {
    std::lock_guard<std::mutex> lock(gPrefixMutex);
    return gPrefix;
}

bool isExternalPauseSet() { return gExternalPause != 0; }
void clearExternalPause() { gExternalPause = 0; }
void markAirportLoaded() { gXLife.airportLoaded = true; }

bool updateXPlaneATC() {
    if (!gXPATC[0]) return false;
    int values[4];
    for (int i = 0; i < 4; ++i) values[i] = gXPATC[i] ? XPLMGetDatai(gXPATC[i]) : 0;
    std::lock_guard<std::mutex> lock(gXPATCMutex);
    XPlaneATCState& state = gXPATCState;
    const bool useCOM1 = gSettings.useCOM1;
    const bool changed = (useCOM1 && values[1] != state.com1Facility) || (!useCOM1 && values[3] != state.com2Facility);
    state.lastCom1Facility = state.com1Facility;
    state.lastCom2Facility = state.com2Facility;
    state.com1Active = values[0];
    state.com1Facility = values[1];
    state.com2Active = values[2];
    state.com2Facility = values[3];
    return changed;
}

XPlaneATCState getXPlaneATCState() {
    std::lock_guard<std::mutex> lock(gXPATCMutex);
    return gXPATCState;
}
