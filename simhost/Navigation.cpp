// Navigation database, FMS and magnetic variation.
#include <stdexcept>

#include "Sim.h"
#include "host/XplmNavigation.h"

namespace sim {
namespace {
// Degrees added to a true heading to give the magnetic one: Boston is 14.5 west.
double gVariation = 14.5;

Registrar registrar([] {
    registerStep({"magnetic-variation", "magnetic-variation <degrees>: the variation reported everywhere",
                  [](const Args& args) {
                      if (args.size() != 1) throw std::runtime_error("usage: magnetic-variation <degrees>");
                      gVariation = toDouble(args[0], "magnetic-variation");
                  }});
});
}  // namespace
}  // namespace sim

extern "C" {

XPLMNavRef XPLMFindNavAid(const char*, const char*, float*, float*, int*, XPLMNavType) { return XPLM_NAV_NOT_FOUND; }

void XPLMGetNavAidInfo(XPLMNavRef, XPLMNavType* outType, float*, float*, float*, int*, float*, char* outID,
                       char* outName, char* outReg) {
    if (outType) *outType = xplm_Nav_Unknown;
    if (outID) *outID = '\0';
    if (outName) *outName = '\0';
    if (outReg) *outReg = 0;
}

int XPLMCountFMSEntries(void) { return 0; }

void XPLMGetFMSEntryInfo(int, XPLMNavType* outType, char* outID, XPLMNavRef* outRef, int* outAltitude, float* outLat,
                         float* outLon) {
    if (outType) *outType = xplm_Nav_Unknown;
    if (outID) *outID = '\0';
    if (outRef) *outRef = XPLM_NAV_NOT_FOUND;
    if (outAltitude) *outAltitude = 0;
    if (outLat) *outLat = 0;
    if (outLon) *outLon = 0;
}

float XPLMGetMagneticVariation(double, double) { return static_cast<float>(sim::gVariation); }

}  // extern "C"
