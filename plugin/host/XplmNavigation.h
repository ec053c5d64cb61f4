// The simulator's navigation database, the FMS and magnetic variation.
#pragma once

#include "XplmTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    xplm_Nav_Unknown = 0,
    xplm_Nav_Airport = 1,
    xplm_Nav_NDB = 2,
    xplm_Nav_VOR = 4,
    xplm_Nav_ILS = 8,
    xplm_Nav_Localizer = 16,
    xplm_Nav_GlideSlope = 32,
    xplm_Nav_OuterMarker = 64,
    xplm_Nav_MiddleMarker = 128,
    xplm_Nav_InnerMarker = 256,
    xplm_Nav_Fix = 512,
    xplm_Nav_DME = 1024,
    xplm_Nav_LatLon = 2048,
    xplm_Nav_TACAN = 4096
};

#define XPLM_NAV_NOT_FOUND -1

// Latitude, longitude and frequency filters are passed by pointer; null means "any".
XPLMNavRef XPLMFindNavAid(const char* nameFragment, const char* idFragment, float* latitude, float* longitude,
                          int* frequency, XPLMNavType type);
// outReg receives a single byte (0 or 1), not a text.
void XPLMGetNavAidInfo(XPLMNavRef ref, XPLMNavType* outType, float* outLatitude, float* outLongitude,
                       float* outHeight, int* outFrequency, float* outHeading, char* outID, char* outName,
                       char* outReg);
int XPLMCountFMSEntries(void);
void XPLMGetFMSEntryInfo(int index, XPLMNavType* outType, char* outID, XPLMNavRef* outRef, int* outAltitude,
                         float* outLat, float* outLon);
float XPLMGetMagneticVariation(double latitude, double longitude);

#ifdef __cplusplus
}
#endif
