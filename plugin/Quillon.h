// The plug-in's spine: the state shared between the simulator thread, which
// runs the flight loop, and the chatter thread.
#pragma once

#include <atomic>
#include <string>

#include "common/SafeQueue.h"

struct WaveData;

// Hand-off of one decoded clip from the chatter thread to the flight loop.
// Each flag has one writer per direction.
struct SoundFile {
    std::atomic<WaveData*> waveData{nullptr};  // owned here until the flight loop played and freed it
    std::atomic<bool> playSound{false};        // set by the chatter thread, cleared by the flight loop
    std::atomic<bool> stopRequest{false};      // set by anyone, cleared by the flight loop
    std::atomic<bool> isPlaying{false};        // written only by the flight loop
    std::atomic<bool> addStatic{false};
};

extern SoundFile gSoundFile;
extern std::atomic<int> simInitialized;
extern std::atomic<int> playEnabled;
// Diagnostic lines from worker threads, written one per frame by the flight loop.
extern SafeQueue<std::string> loggerQue;

float myFlightLoop(float elapsedSinceLastCall, float elapsedTimeSinceLastFlightLoop, int counter, void* refcon);
