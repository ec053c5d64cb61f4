// Quillon.ini as the user or a crash left it: any bytes at all.
#include <cstdint>
#include <string>

#include "FuzzHost.h"
#include "Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzPluginFolder();
    Settings settings;
    parseSettings(settings, std::string(reinterpret_cast<const char*>(data), size));
    if (settings.maxDelay <= 0 || settings.maxDelay < settings.minDelay) __builtin_trap();
    if (settings.activeController < 0 || settings.activeController > 9) __builtin_trap();
    if (settings.audioDevice.size() > 199) __builtin_trap();
    Settings again;
    parseSettings(again, formatSettings(settings));
    return 0;
}
