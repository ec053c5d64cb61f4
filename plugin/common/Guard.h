// The barrier around every call the simulator makes into the plug-in: no
// exception ever reaches the simulator, and after repeated failures the
// plug-in stops its own work instead of failing every frame.
#pragma once

#include <exception>
#include <functional>

constexpr int MAX_GUARDED_FAILURES = 5;

void reportGuardedFailure(const char* where, const char* what);
bool isPluginHalted();
// Runs once when the plug-in halts itself, on whichever thread failed last:
// it may only flip atomic flags.
void setHaltHandler(std::function<void()> handler);
void resetGuard();  // for tests

// Runs body; on an exception logs it and returns fallback. Skips body once
// the plug-in has halted unless `evenWhenHalted` (the stop sequence).
template <typename R, typename F>
R guarded(const char* where, R fallback, F&& body, bool evenWhenHalted = false) {
    if (isPluginHalted() && !evenWhenHalted) return fallback;
    try {
        return body();
    } catch (const std::exception& e) {
        reportGuardedFailure(where, e.what());
    } catch (...) {
        reportGuardedFailure(where, "unknown exception");
    }
    return fallback;
}

template <typename F>
void guardedVoid(const char* where, F&& body, bool evenWhenHalted = false) {
    guarded<int>(where, 0, [&] { body(); return 0; }, evenWhenHalted);
}
