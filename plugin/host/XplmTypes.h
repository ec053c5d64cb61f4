// Basic handle and value types of the simulator's plug-in interface, with the
// exported entry points. Written from the interface facts; layouts and values
// must match what the simulator passes, so nothing here may be reordered.
#pragma once

#include <stdint.h>

#define XPLM_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

typedef int XPLMPluginID;
typedef void* XPLMDataRef;
typedef int XPLMDataTypeID;
typedef void* XPLMCommandRef;
typedef int XPLMCommandPhase;
typedef void* XPLMFlightLoopID;
typedef int XPLMFlightLoopPhaseType;
typedef void* XPLMWindowID;
typedef int XPLMWindowLayer;
typedef int XPLMWindowDecoration;
typedef int XPLMWindowPositioningMode;
typedef int XPLMMouseStatus;
typedef int XPLMCursorStatus;
typedef int XPLMKeyFlags;
typedef void* XPLMMenuID;
typedef int XPLMMenuCheck;
typedef int XPLMNavRef;
typedef int XPLMNavType;
typedef int XPLMTextureID;
typedef int XPLMHostApplicationID;
typedef int XPLMAudioBus;
typedef int XPLMBankID;

enum {
    XPLM_NO_PLUGIN_ID = -1,
    XPLM_PLUGIN_XPLANE = 0,
    XPLM_USER_AIRCRAFT = 0
};

// Messages delivered to XPluginReceiveMessage.
enum {
    XPLM_MSG_PLANE_CRASHED = 101,
    XPLM_MSG_PLANE_LOADED = 102,
    XPLM_MSG_AIRPORT_LOADED = 103,
    XPLM_MSG_SCENERY_LOADED = 104,
    XPLM_MSG_AIRPLANE_COUNT_CHANGED = 105,
    XPLM_MSG_PLANE_UNLOADED = 106,
    XPLM_MSG_WILL_WRITE_PREFS = 107,
    XPLM_MSG_LIVERY_LOADED = 108,
    XPLM_MSG_ENTERED_VR = 109,
    XPLM_MSG_EXITING_VR = 110
};

// The five entry points every plug-in exports.
XPLM_EXPORT int XPluginStart(char* outName, char* outSignature, char* outDescription);
XPLM_EXPORT void XPluginStop(void);
XPLM_EXPORT int XPluginEnable(void);
XPLM_EXPORT void XPluginDisable(void);
XPLM_EXPORT void XPluginReceiveMessage(XPLMPluginID from, int message, void* param);

#ifdef __cplusplus
}
#endif
