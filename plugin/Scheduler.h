// The chatter thread: decides what plays on the radio and waits the pauses.
#pragma once

// Body of the chatter thread; returns once playEnabled is cleared.
void playChatter();

// Waits up to `milliseconds`, returning early (false) once chatter stops.
bool chatterSleep(int milliseconds);
// Wakes every chatterSleep at once; called after playEnabled is cleared.
void wakeChatter();
