// Traffic Global exchanges waiting for the radio: decoded audio with the
// facility whose frequency carries it, played by the chatter thread.
#pragma once

#include "common/SafeQueue.h"

struct WaveData;
struct Facility;

struct TrafficChatter {
    WaveData* pWaveData = nullptr;  // owned by the queue element
    Facility* pFacility = nullptr;  // belongs to the facility index
};

SafeQueue<TrafficChatter>& trafficChatterAudio();
// Hands a decoded exchange to the radio; the queue owns the audio from here.
void addTrafficAudio(WaveData* waveData, Facility* facility);
// Frees every exchange still waiting.
void drainTrafficAudio();
