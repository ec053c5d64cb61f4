#include "Guard.h"

#include <atomic>
#include <mutex>

#include "Common.h"

namespace {
std::atomic<int> gFailures{0};
std::atomic<bool> gHalted{false};
std::mutex gHandlerMutex;
std::function<void()> gHaltHandler;
}  // namespace

void reportGuardedFailure(const char* where, const char* what) {
    sLogMsg("Error in %s: %s", where, what);
    if (++gFailures < MAX_GUARDED_FAILURES || gHalted.exchange(true)) return;
    logMsg("Too many errors: Quillon has stopped its work until the simulator restarts");
    std::function<void()> handler;
    {
        std::lock_guard<std::mutex> lock(gHandlerMutex);
        handler = gHaltHandler;
    }
    if (!handler) return;
    try {
        handler();
    } catch (...) {
    }
}

bool isPluginHalted() { return gHalted.load(); }

void setHaltHandler(std::function<void()> handler) {
    std::lock_guard<std::mutex> lock(gHandlerMutex);
    gHaltHandler = std::move(handler);
}

void resetGuard() {
    gFailures = 0;
    gHalted = false;
}
