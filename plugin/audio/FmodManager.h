// The simulator's own sound engine, reached through the sound-bus functions
// it hands out by name. Every member is used under soundLock() (Sound.h).
#pragma once

#include <cstdint>
#include <map>

#include "host/XplmSound.h"

struct WaveData;

// One sound on the bus. The simulator reads `data` until it reports the
// sound complete; `token` is what it hands back then.
struct FmodActiveSound {
    int source = 0;  // channel number
    unsigned char* data = nullptr;
    FMOD_CHANNEL* pChannel = nullptr;
    uintptr_t token = 0;
};

class FmodManager {
public:
    static FmodManager* getInstance();
    // Stops what still plays and frees everything; completions that arrive
    // later find nothing and are ignored.
    static void removeInstance();
    static bool XPSoundIsAvail();

    void playSound(const WaveData* waveData, int channel, bool loop);
    void stopPlaying(int channel);
    bool isSoundPlaying(int channel);
    void setVolume(float volume, int channel);

    XPLMPlayPCMOnBus_f XPLMPlayPCMOnBus = nullptr;
    XPLMStopAudio_f XPLMStopAudio = nullptr;
    XPLMSetAudioPosition_f XPLMSetAudioPosition = nullptr;
    XPLMSetAudioFadeDistance_f XPLMSetAudioFadeDistance = nullptr;
    XPLMSetAudioVolume_f XPLMSetAudioVolume = nullptr;
    XPLMSetAudioCone_f XPLMSetAudioCone = nullptr;
    std::map<int, FmodActiveSound*> channels;

private:
    FmodManager();
    ~FmodManager();
    bool available() const;
    static void completion(void* refcon, FMOD_RESULT status);
    void forget(int channel);
};
