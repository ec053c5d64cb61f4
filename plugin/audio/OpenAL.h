// The OpenAL back end: a device and context of the plug-in's own with one
// source and one buffer per channel. Every call runs under soundLock() with
// the plug-in's context made current and the caller's restored afterwards,
// so the simulator's own OpenAL use is never disturbed.
#pragma once

#include <string>
#include <vector>

struct WaveData;

namespace openal {

// Opens `deviceName`, or the default device for "X-Plane Audio" or when it
// cannot be opened. False leaves the back end silent.
bool start(const std::string& deviceName);
void stop();
void play(const WaveData* waveData, int channel, bool loop);
void stopPlaying(int channel);
bool isPlaying(int channel);
void setVolume(float volume, int channel);
// Appends the name of every device, skipping a name equal to the one before.
void appendDevices(std::vector<std::string>& names);

}  // namespace openal
