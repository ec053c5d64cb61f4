// The in-process host for fuzz targets: a scratch simulator folder, a plug-in
// folder to write files into, and a log that keeps nothing.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include "DataRefs.h"
#include "Sim.h"
#include "common/Common.h"

inline const std::string& fuzzPluginFolder() {
    static const std::string folder = [] {
        std::string sim = std::filesystem::temp_directory_path().string() + "/quillon-fuzz-" +
                          std::to_string(getpid()) + "/X-Plane 12/";
        std::string plugin = sim + "Resources/plugins/Quillon/";
        std::filesystem::create_directories(plugin + "lin_x64");
        sim::Sim& host = sim::Sim::get();
        host.simFolder = sim;
        host.pluginPath = plugin + "lin_x64/Quillon.xpl";
        host.keepLog = false;
        sim::createPresetDataRefs();
        initCommon("Quillon");
        host.simFolder.clear();  // no Log.txt
        return plugin;
    }();
    return folder;
}
