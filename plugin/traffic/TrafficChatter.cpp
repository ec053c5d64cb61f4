#include "TrafficChatter.h"

#include "audio/wave.h"

SafeQueue<TrafficChatter>& trafficChatterAudio() {
    static SafeQueue<TrafficChatter> queue;
    return queue;
}

void addTrafficAudio(WaveData* waveData, Facility* facility) { trafficChatterAudio().Produce({waveData, facility}); }

void drainTrafficAudio() {
    TrafficChatter item;
    while (trafficChatterAudio().Consume(item)) freeWaveData(item.pWaveData);
}
