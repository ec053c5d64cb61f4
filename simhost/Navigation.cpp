// Navigation database searches, FMS and magnetic variation.
#include <cctype>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "NavDatabase.h"
#include "Sim.h"
#include "host/XplmNavigation.h"

namespace sim {
namespace {
// The variation is one value everywhere, or, once positions are given, that of the nearest position.
struct VariationPoint {
    double latitude, longitude, degrees;
};
// Degrees added to a true heading to give the magnetic one: Boston is 14.5 west.
double gVariation = 14.5;
std::vector<VariationPoint> gVariationPoints;

double greatCircleDegrees(double lat1, double lon1, double lat2, double lon2) {
    const double rad = M_PI / 180;
    const double a = std::sin((lat2 - lat1) * rad / 2) * std::sin((lat2 - lat1) * rad / 2) +
                     std::cos(lat1 * rad) * std::cos(lat2 * rad) * std::sin((lon2 - lon1) * rad / 2) *
                         std::sin((lon2 - lon1) * rad / 2);
    return 2 * std::atan2(std::sqrt(a), std::sqrt(1 - a)) / rad;
}

double variationAt(double latitude, double longitude) {
    double best = gVariation, bestDistance = 1e9;
    for (const auto& point : gVariationPoints) {
        const double distance = greatCircleDegrees(latitude, longitude, point.latitude, point.longitude);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = point.degrees;
        }
    }
    return best;
}

bool containsIgnoringCase(const std::string& text, const char* fragment) {
    if (!fragment) return true;
    const size_t length = strlen(fragment);
    if (length > text.size()) return false;
    for (size_t i = 0; i + length <= text.size(); ++i) {
        size_t j = 0;
        while (j < length && std::toupper(static_cast<unsigned char>(text[i + j])) ==
                                 std::toupper(static_cast<unsigned char>(fragment[j])))
            ++j;
        if (j == length) return true;
    }
    return false;
}

Registrar registrar([] {
    registerStep({"magnetic-variation",
                  "magnetic-variation <degrees> | <latitude> <longitude> <degrees>: the variation everywhere, or at "
                  "a position (elsewhere the nearest given position's)",
                  [](const Args& args) {
                      if (args.size() == 1) {
                          gVariation = toDouble(args[0], "magnetic-variation");
                          gVariationPoints.clear();
                      } else if (args.size() == 3) {
                          gVariationPoints.push_back({toDouble(args[0], "latitude"), toDouble(args[1], "longitude"),
                                                      toDouble(args[2], "magnetic-variation")});
                      } else {
                          throw std::runtime_error("usage: magnetic-variation <degrees> | <lat> <lon> <degrees>");
                      }
                  }});
});

void copyText(char* out, size_t size, const std::string& text) {
    const size_t length = std::min(text.size(), size - 1);
    memcpy(out, text.data(), length);
    out[length] = '\0';
}

}  // namespace
}  // namespace sim

extern "C" {

// The nearest match to the position when both coordinates are given, else the last match.
// Airports carry no frequency, so a frequency filter does not screen them out.
XPLMNavRef XPLMFindNavAid(const char* nameFragment, const char* idFragment, float* latitude, float* longitude,
                          int* frequency, XPLMNavType type) {
    const auto& database = sim::navDatabase();
    const bool near = latitude && longitude;
    XPLMNavRef found = XPLM_NAV_NOT_FOUND;
    double bestDistance = 0;
    for (size_t i = 0; i < database.size(); ++i) {
        const sim::NavEntry& entry = database[i];
        if (!(entry.type & type)) continue;
        if (frequency && entry.type != xplm_Nav_Airport && entry.frequency != *frequency) continue;
        if (!sim::containsIgnoringCase(entry.name, nameFragment) || !sim::containsIgnoringCase(entry.id, idFragment))
            continue;
        if (near) {
            const double distance = sim::greatCircleDegrees(*latitude, *longitude, entry.latitude, entry.longitude);
            if (found != XPLM_NAV_NOT_FOUND && distance >= bestDistance) continue;
            bestDistance = distance;
        }
        found = static_cast<XPLMNavRef>(i);
    }
    return found;
}

void XPLMGetNavAidInfo(XPLMNavRef ref, XPLMNavType* outType, float* outLatitude, float* outLongitude,
                       float* outHeight, int* outFrequency, float* outHeading, char* outID, char* outName,
                       char* outReg) {
    const auto& database = sim::navDatabase();
    const bool valid = ref >= 0 && static_cast<size_t>(ref) < database.size();
    const sim::NavEntry none;
    const sim::NavEntry& entry = valid ? database[static_cast<size_t>(ref)] : none;
    if (outType) *outType = valid ? entry.type : xplm_Nav_Unknown;
    if (outLatitude) *outLatitude = entry.latitude;
    if (outLongitude) *outLongitude = entry.longitude;
    if (outHeight) *outHeight = entry.height;
    if (outFrequency) *outFrequency = entry.frequency;
    if (outHeading) *outHeading = entry.heading;
    if (outID) sim::copyText(outID, 32, entry.id);
    if (outName) sim::copyText(outName, 256, entry.name);
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

float XPLMGetMagneticVariation(double latitude, double longitude) {
    return static_cast<float>(sim::variationAt(latitude, longitude));
}

}  // extern "C"
