// Plug-in identity, features, paths, log, speech and symbol lookup.
#pragma once

#include "XplmTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    xplm_Host_Unknown = 0,
    xplm_Host_XPlane = 1
};

XPLMPluginID XPLMGetMyID(void);
void XPLMGetPluginInfo(XPLMPluginID plugin, char* outName, char* outFilePath, char* outSignature,
                       char* outDescription);
void XPLMEnableFeature(const char* feature, int enable);
void* XPLMFindSymbol(const char* symbolName);
void XPLMDebugString(const char* text);
void XPLMSpeakString(const char* text);
void XPLMGetSystemPath(char* outSystemPath);
void XPLMGetVersions(int* outXPlaneVersion, int* outXPLMVersion, XPLMHostApplicationID* outHostID);
// Returns 1 when every name fitted in the buffer, 0 when the listing was cut.
int XPLMGetDirectoryContents(const char* directoryPath, int firstReturn, char* outFileNames, int fileNameBufSize,
                             char** outIndices, int indexCount, int* outTotalFiles, int* outReturnedFiles);
char* XPLMExtractFileAndPath(char* fullPath);
void XPLMGetNthAircraftModel(int index, char* outFileName, char* outPath);

#ifdef __cplusplus
}
#endif
