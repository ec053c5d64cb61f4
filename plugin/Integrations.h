// Following other ATC add-ons: the integration mode that a generic add-on,
// XLife, 124th ATC or NextATC drive; the external pause; X-Plane's own ATC.
#pragma once

#include <string>

enum IntegrationModes {
    INTEGRATION_CONTROL_OFF = 0,
    INTEGRATION_PAUSE = 1,
    INTEGRATION_PLAY_CONTROLLER_CLR = 2,
    INTEGRATION_PLAY_CONTROLLER_DEP_GND = 3,
    INTEGRATION_PLAY_CONTROLLER_DEP_TWR = 4,
    INTEGRATION_PLAY_CONTROLLER_DEP = 5,
    INTEGRATION_PLAY_CONTROLLER_CTR = 6,
    INTEGRATION_PLAY_CONTROLLER_APP = 7,
    INTEGRATION_PLAY_CONTROLLER_DEST_TWR = 8,
    INTEGRATION_PLAY_CONTROLLER_DEST_GND = 9,
    INTEGRATION_PLAY_CONTROLLER_DEP_UNI = 10,
    INTEGRATION_PLAY_CONTROLLER_DEST_UNI = 11,
    MAX_INTEGRATION_MODES = 12
};

enum IntegrationDataRefs { INTEGRATION_DATAREF_MODE = 0, INTEGRATION_DATAREF_EXTERNAL_PAUSE = 1 };

enum XLifeDataRefs {
    XLIFE_ICAO_NOW = 0,
    XLIFE_ICAO_CTR = 1,
    XLIFE_ATC_INDEX = 2,
    XLIFE_PAUSE = 3,
    XLIFE_ATC_TEXT = 4
};

enum XLifeAtcPositions {
    atcpos_ANY = -1,
    atcpos_NON = 0,
    atcpos_ATIS = 1,
    atcpos_DELIVERY = 2,
    atcpos_GROUND = 3,
    atcpos_TOWER = 4,
    atcpos_APPROACH = 5,
    atcpos_CENTER = 6
};

// X-Plane's own ATC, read every frame.
struct XPlaneATCState {
    int com1Active = 0;
    int com1Facility = 0;
    int com2Active = 0;
    int com2Facility = 0;
    int lastCom1Facility = 0;
    int lastCom2Facility = 0;
};

// Start: the caption prefix and which of 124th ATC or NextATC is installed.
void initIntegrations();
void registerIntegrationDataRefs();
void unregisterIntegrationDataRefs();

// Flight loop, only with external integrations enabled.
void computeIntegrationMode();
int getIntegrationMode();
std::string getIntegrationPrefix();

bool isExternalPauseSet();
void clearExternalPause();
// An airport was loaded: the next XLife ICAO code is the origin.
void markAirportLoaded();

// Reads the four X-Plane ATC datarefs, keeping last frame's facilities.
// Returns true when the chatter radio's tuned facility changed.
bool updateXPlaneATC();
XPlaneATCState getXPlaneATCState();
