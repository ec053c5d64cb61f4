// Textures, graphics state and the conversion between world and local coordinates.
#pragma once

#include "XplmTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    xplm_Tex_GeneralInterface = 0
};

void XPLMGenerateTextureNumbers(int* outTextureIDs, int count);
void XPLMBindTexture2d(int textureNum, int textureUnit);
void XPLMSetGraphicsState(int enableFog, int numberTexUnits, int enableLighting, int enableAlphaTesting,
                          int enableAlphaBlending, int enableDepthTesting, int enableDepthWriting);
void XPLMWorldToLocal(double latitude, double longitude, double altitudeMetres, double* outX, double* outY,
                      double* outZ);
void XPLMLocalToWorld(double x, double y, double z, double* outLatitude, double* outLongitude,
                      double* outAltitudeMetres);

#ifdef __cplusplus
}
#endif
