// Texture numbers, graphics state, and local coordinates: a flat east-north-up
// frame around the first position asked for, in metres (x east, y up, z south).
#include <cmath>

#include "Sim.h"
#include "host/XplmGraphics.h"

namespace sim {
namespace {
int gNextTexture = 1;
bool gHaveOrigin = false;
double gOriginLat = 0, gOriginLon = 0;
constexpr double kMetresPerDegree = 111319.49;
}  // namespace
}  // namespace sim

extern "C" {

void XPLMGenerateTextureNumbers(int* outTextureIDs, int count) {
    for (int i = 0; outTextureIDs && i < count; ++i) outTextureIDs[i] = sim::gNextTexture++;
}

void XPLMBindTexture2d(int, int) {}

void XPLMSetGraphicsState(int, int, int, int, int, int, int) {}

void XPLMWorldToLocal(double latitude, double longitude, double altitudeMetres, double* outX, double* outY,
                      double* outZ) {
    if (!sim::gHaveOrigin) {
        sim::gHaveOrigin = true;
        sim::gOriginLat = latitude;
        sim::gOriginLon = longitude;
    }
    const double east = (longitude - sim::gOriginLon) * sim::kMetresPerDegree * cos(sim::gOriginLat * M_PI / 180);
    const double north = (latitude - sim::gOriginLat) * sim::kMetresPerDegree;
    if (outX) *outX = east;
    if (outY) *outY = altitudeMetres;
    if (outZ) *outZ = -north;
}

void XPLMLocalToWorld(double x, double y, double z, double* outLatitude, double* outLongitude,
                      double* outAltitudeMetres) {
    const double latitude = sim::gOriginLat - z / sim::kMetresPerDegree;
    const double longitude = sim::gOriginLon + x / (sim::kMetresPerDegree * cos(sim::gOriginLat * M_PI / 180));
    if (outLatitude) *outLatitude = latitude;
    if (outLongitude) *outLongitude = longitude;
    if (outAltitudeMetres) *outAltitudeMetres = y;
}

}  // extern "C"
