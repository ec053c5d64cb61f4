// simhost: a stand-in for the simulator that loads one plug-in, runs a
// scenario against it in real time and reports what the scenario expected.
//
//   simhost --sim <folder> [--scenario <file>] [options]
//
// Exit status: 0 when every expectation held, 1 when one failed, 2 when the
// plug-in or the scenario could not be loaded.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "PluginLoader.h"
#include "Scenario.h"
#include "Sim.h"

namespace {

std::string gScenario;
std::string gPlugin;

sim::Registrar registrar([] {
    using sim::Sim;
    sim::registerOption({"--sim", "<folder>", "the simulator folder (required)",
                         [](const std::string& v) { Sim::get().simFolder = v; }});
    sim::registerOption({"--scenario", "<file>", "the scenario to run", [](const std::string& v) { gScenario = v; }});
    sim::registerOption({"--plugin", "<file.xpl>", "load this plug-in instead of searching Resources/plugins",
                         [](const std::string& v) { gPlugin = v; }});
    sim::registerOption({"--output", "<folder>", "where recordings go (default <sim>/Output/simhost)",
                         [](const std::string& v) { Sim::get().outputFolder = v; }});
    sim::registerOption({"--rate", "<hz>", "frames per second (default 30)",
                         [](const std::string& v) { Sim::get().frameRate = sim::toDouble(v, "--rate"); }});
    sim::registerOption({"--duration", "<seconds>", "run this long unless the scenario ends it (default 5)",
                         [](const std::string& v) { Sim::get().endTime = sim::toDouble(v, "--duration"); }});
    sim::registerOption({"--fast", "", "do not pace frames in real time",
                         [](const std::string&) { Sim::get().realTime = false; }});
    sim::registerOption({"--speed", "<factor>",
                         "run simulator time this many times faster than the wall clock; the plug-in is told "
                         "through QUILLON_TIME_SCALE so that its own clock and pauses keep pace",
                         [](const std::string& v) {
                             Sim::get().speed = sim::toDouble(v, "--speed");
                             if (Sim::get().speed <= 0) throw std::runtime_error("--speed must be positive");
                             setenv("QUILLON_TIME_SCALE", v.c_str(), 1);
                         }});
    sim::registerOption({"--verbose", "", "echo the log to standard output",
                         [](const std::string&) { Sim::get().verbose = true; }});
});

void usage() {
    fprintf(stderr, "usage: simhost --sim <folder> [options]\n\noptions:\n");
    for (const auto& option : sim::options())
        fprintf(stderr, "  %-28s %s\n", (option.name + " " + option.value).c_str(), option.help.c_str());
    fprintf(stderr, "\nscenario steps ('at <seconds> <step>' or, without 'at', before the start):\n");
    for (const auto& step : sim::steps()) fprintf(stderr, "  %s\n", step.second.usage.c_str());
}

bool parseOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const sim::Option* found = nullptr;
        for (const auto& option : sim::options())
            if (option.name == argv[i]) found = &option;
        if (!found) {
            fprintf(stderr, "simhost: unknown option %s\n", argv[i]);
            return false;
        }
        std::string value;
        if (!found->value.empty()) {
            if (++i >= argc) {
                fprintf(stderr, "simhost: %s needs a value\n", found->name.c_str());
                return false;
            }
            value = argv[i];
        }
        try {
            found->apply(value);
        } catch (const std::exception& e) {
            fprintf(stderr, "simhost: %s\n", e.what());
            return false;
        }
    }
    return true;
}

std::string withSlash(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

void makeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
}

}  // namespace

int main(int argc, char** argv) {
    sim::Sim& sim = sim::Sim::get();
    if (!parseOptions(argc, argv) || sim.simFolder.empty()) {
        usage();
        return 2;
    }
    sim.simFolder = withSlash(sim.simFolder);
    sim.outputFolder = withSlash(sim.outputFolder.empty() ? sim.simFolder + "Output/simhost" : sim.outputFolder);
    makeFolders(sim.outputFolder);
    remove((sim.simFolder + "Log.txt").c_str());
    remove((sim.outputFolder + "sound-events.txt").c_str());
    remove((sim.outputFolder + "spoken.txt").c_str());

    if (!gScenario.empty() && !sim::loadScenario(gScenario)) return 2;
    const std::string plugin = gPlugin.empty() ? sim::findPlugin() : gPlugin;
    if (plugin.empty()) {
        fprintf(stderr, "simhost: no plug-in under %sResources/plugins/*/lin_x64/\n", sim.simFolder.c_str());
        return 2;
    }
    sim::runStartHooks();
    if (sim.failures) return 1;
    if (!sim::loadPlugin(plugin)) return 2;
    if (!sim::startPlugin()) {
        sim::stopPlugin();
        return 2;
    }

    const auto wallStart = std::chrono::steady_clock::now();
    while (sim.simTime < sim.endTime - 1e-9) {
        sim::runFrame();
        ++sim.frame;
        sim.simTime = static_cast<double>(sim.frame) / sim.frameRate;
        if (sim.realTime)
            std::this_thread::sleep_until(wallStart + std::chrono::duration<double>(sim.simTime / sim.speed));
    }
    sim::stopPlugin();
    sim::runEndHooks();
    printf("simhost: %lld frames, %.1f s simulated; log in %sLog.txt\n", static_cast<long long>(sim.frame),
           sim.simTime, sim.simFolder.c_str());
    if (sim.failures) {
        printf("simhost: %d expectation(s) failed\n", sim.failures);
        return 1;
    }
    return 0;
}
