// The chatter thread: decides whether chatter may play, plays the clips of
// the active controller and the waiting Traffic Global exchanges on the radio
// channel, and waits random pauses between them.
#pragma once

#include <string>

struct StateOfPlay {
    std::string status;  // the facility caption, " - " and the clip while one is current
    bool play = false;   // the last result of canPlay
};

// Body of the chatter thread; returns once playEnabled is cleared.
void playChatter();
bool canPlay();
// Pause in ticks of 100 ms: the maximum delay, or a random one between the delays.
int getPauseLength(bool max);
// The next pause is the full maximum delay and the clip in hand is skipped.
void resetPause();
StateOfPlay getStateOfPlay();
std::string getCurrentClipName();

// Waits up to `milliseconds` of plug-in time, returning early (false) once
// chatter stops. Every wait of the chatter thread goes through here.
bool chatterSleep(int milliseconds);
// Wakes every chatterSleep at once; called after playEnabled is cleared.
void wakeChatter();
