// The three output channels. Sounds go to the simulator's sound bus when it
// offers one, otherwise to an OpenAL device of the plug-in's own.
#pragma once

#include <mutex>
#include <string>
#include <vector>

struct WaveData;

enum CHATTER_SOUND_SOURCE {
    CLIP_SOURCE = 0,    // chatter clips, Traffic Global exchanges, Zuruvo ZEV calls
    STATIC_SOURCE = 1,  // the static-noise loop
    TTS_SOURCE = 2,     // speech
    MAX_CHATTER_SOUND_SOURCES = 3
};

// Call on the simulator thread.
bool startSoundSystem();
void stopSoundSystem();
// The output keeps its own copy: the caller may free waveData right after.
void playSound(const WaveData* waveData, int channel, bool loop);
void stopPlaying(int channel);
// Also called from the chatter and speech threads.
bool isSoundPlaying(int channel);
void setVolume(float volume, int channel);

// Starts (stop false) or stops (stop true) the static-noise loop.
void addStatic(bool stop);

// The choices for the audioDevice setting: "X-Plane Audio" first, then the
// OpenAL devices when the sound bus is not in use and OpenAL can list them.
std::vector<std::string> getAudioDevices();

// Serialises every output call, the sound-bus channel map and the OpenAL
// context switches between the threads that use them.
std::recursive_mutex& soundLock();
