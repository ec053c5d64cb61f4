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
