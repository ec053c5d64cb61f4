// Flight-loop callbacks. Intervals: > 0 seconds, < 0 frames, 0 paused.
#pragma once

#include "XplmTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    xplm_FlightLoop_Phase_BeforeFlightModel = 0,
    xplm_FlightLoop_Phase_AfterFlightModel = 1
};

typedef float (*XPLMFlightLoop_f)(float elapsedSinceLastCall, float elapsedTimeSinceLastFlightLoop,
                                  int counter, void* refcon);

typedef struct {
    int structSize;
    XPLMFlightLoopPhaseType phase;
    XPLMFlightLoop_f callbackFunc;
    void* refcon;
} XPLMCreateFlightLoop_t;

float XPLMGetElapsedTime(void);
void XPLMRegisterFlightLoopCallback(XPLMFlightLoop_f callback, float interval, void* refcon);
void XPLMUnregisterFlightLoopCallback(XPLMFlightLoop_f callback, void* refcon);
void XPLMSetFlightLoopCallbackInterval(XPLMFlightLoop_f callback, float interval, int relativeToNow,
                                       void* refcon);
XPLMFlightLoopID XPLMCreateFlightLoop(XPLMCreateFlightLoop_t* params);
void XPLMDestroyFlightLoop(XPLMFlightLoopID flightLoop);
void XPLMScheduleFlightLoop(XPLMFlightLoopID flightLoop, float interval, int relativeToNow);

#ifdef __cplusplus
}
#endif
