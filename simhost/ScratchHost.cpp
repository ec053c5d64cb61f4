// A throw-away simulator folder for programs that run plug-in code in-process
// without a scenario (fuzzers, benchmarks): nothing is logged or kept.
#include <unistd.h>

#include <filesystem>

#include "DataRefs.h"
#include "Sim.h"

namespace sim {

std::string useScratchHost(const std::string& name) {
    const std::string folder = std::filesystem::temp_directory_path().string() + "/" + name + "-" +
                               std::to_string(getpid()) + "/X-Plane 12/";
    const std::string plugin = folder + "Resources/plugins/Quillon/";
    std::filesystem::create_directories(plugin + "lin_x64");
    Sim& host = Sim::get();
    host.simFolder = folder;
    host.outputFolder.clear();
    host.pluginPath = plugin + "lin_x64/Quillon.xpl";
    host.keepLog = false;
    clearDataRefs();
    createPresetDataRefs();
    return plugin;
}

}  // namespace sim
