#include "Scheduler.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "Quillon.h"

namespace {
std::mutex gWakeMutex;
std::condition_variable gWake;
}  // namespace

bool chatterSleep(int milliseconds) {
    std::unique_lock<std::mutex> lock(gWakeMutex);
    return !gWake.wait_for(lock, std::chrono::milliseconds(milliseconds), [] { return playEnabled.load() == 0; });
}

void wakeChatter() {
    std::lock_guard<std::mutex> lock(gWakeMutex);
    gWake.notify_all();
}

void playChatter() {
    while (playEnabled.load()) chatterSleep(100);
}
