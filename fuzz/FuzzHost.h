// The in-process host for fuzz targets.
#pragma once

#include <string>

#include "Sim.h"
#include "common/Common.h"

inline const std::string& fuzzPluginFolder() {
    static const std::string folder = [] {
        std::string plugin = sim::useScratchHost("quillon-fuzz");
        initCommon("Quillon");
        return plugin;
    }();
    return folder;
}

// Puts the input into a file of the plug-in folder for readers that take a path; returns the path.
inline std::string writeFuzzFile(const char* name, const uint8_t* data, size_t size) {
    const std::string path = fuzzPluginFolder() + name;
    if (FILE* file = fopen(path.c_str(), "wb")) {
        fwrite(data, 1, size, file);
        fclose(file);
    }
    return path;
}
