// The simulator's sound bus. These functions only exist in newer simulators,
// so they are never linked directly: XPLMFindSymbol hands out pointers of
// these types.
#pragma once

#include "XplmTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int FMOD_RESULT;
typedef int FMOD_SOUND_FORMAT;
typedef void FMOD_CHANNEL;
typedef struct {
    float x;
    float y;
    float z;
} FMOD_VECTOR;

enum { FMOD_OK = 0 };
enum {
    FMOD_SOUND_FORMAT_NONE = 0,
    FMOD_SOUND_FORMAT_PCM8 = 1,
    FMOD_SOUND_FORMAT_PCM16 = 2
};

enum {
    xplm_AudioRadioCom1 = 0,
    xplm_AudioRadioCom2 = 1,
    xplm_AudioRadioPilot = 2,
    xplm_AudioRadioCopilot = 3,
    xplm_AudioExteriorAircraft = 4,
    xplm_AudioExteriorEnvironment = 5,
    xplm_AudioExteriorUnprocessed = 6,
    xplm_AudioInterior = 7,
    xplm_AudioUI = 8,
    xplm_AudioGround = 9,
    xplm_Master = 10
};

typedef void (*XPLMPCMComplete_f)(void* refcon, FMOD_RESULT status);

typedef FMOD_CHANNEL* (*XPLMPlayPCMOnBus_f)(void* audioBuffer, uint32_t bufferSize, FMOD_SOUND_FORMAT soundFormat,
                                            int freqHz, int numChannels, int loop, XPLMAudioBus audioType,
                                            XPLMPCMComplete_f callback, void* refcon);
typedef FMOD_RESULT (*XPLMStopAudio_f)(FMOD_CHANNEL* channel);
typedef FMOD_RESULT (*XPLMSetAudioPosition_f)(FMOD_CHANNEL* channel, FMOD_VECTOR* position, FMOD_VECTOR* velocity);
typedef FMOD_RESULT (*XPLMSetAudioFadeDistance_f)(FMOD_CHANNEL* channel, float minDistanceMetres,
                                                  float maxDistanceMetres);
typedef FMOD_RESULT (*XPLMSetAudioVolume_f)(FMOD_CHANNEL* channel, float volume);
typedef FMOD_RESULT (*XPLMSetAudioCone_f)(FMOD_CHANNEL* channel, float insideAngle, float outsideAngle,
                                          float outsideVolume, FMOD_VECTOR* orientation);

#ifdef __cplusplus
}
#endif
