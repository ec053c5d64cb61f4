// The world-scale scenery the navigation benchmarks share: a generated
// apt.dat kept in the bench build folder, and a scratch plug-in folder that
// is removed at exit.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Sim.h"
#include "common/Common.h"

inline const std::string WORLD_APT = std::string(BENCH_WORK_DIR) + "/world/apt.dat";

inline const std::string& worldPluginFolder() {
    static const std::string folder = [] {
        const std::string plugin = sim::useScratchHost("quillon-bench");
        initCommon("Quillon");
        static const std::filesystem::path scratch =
            std::filesystem::path(sim::Sim::get().simFolder).parent_path().parent_path();
        std::atexit([] { std::filesystem::remove_all(scratch); });
        sim::Sim::get().simFolder.clear();  // no Log.txt
        const std::string generate = "'" + std::string(WORLD_SCRIPT) + "' '" + WORLD_APT + "'";
        if (std::system(generate.c_str()) != 0) fprintf(stderr, "could not generate %s\n", WORLD_APT.c_str());
        return plugin;
    }();
    return folder;
}
