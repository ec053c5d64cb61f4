// The stand-in simulator: one process-wide state shared by the capability
// files (datarefs, commands, flight loops, sound bus, ...). Each capability
// registers its own command-line options, scenario steps and per-frame work
// here, so a new capability is a new file.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace sim {

using Args = std::vector<std::string>;

struct LogLine {
    double simTime;
    std::string text;
};

class Sim {
public:
    static Sim& get();

    // Configuration
    std::string simFolder;     // with trailing "/"
    std::string outputFolder;  // with trailing "/"
    std::string pluginPath;    // the loaded .xpl
    std::string pluginName, pluginSignature, pluginDescription;  // as XPluginStart filled them
    std::string aircraftPath = "Aircraft/Laminar Research/Cessna 172 SP/Cessna_172SP.acf";
    double frameRate = 30.0;
    bool realTime = true;
    double speed = 1.0;  // simulator seconds per wall-clock second
    bool verbose = false;
    std::map<std::string, std::string> flags;  // switches set by options, read by capabilities

    bool flag(const std::string& name) const { return flags.count(name) != 0; }

    // Clock
    double simTime = 0;   // seconds since the first frame
    int64_t frame = 0;
    double frameSeconds() const { return 1.0 / frameRate; }

    double endTime = 5.0;      // seconds of simulation before the plug-in is stopped
    double stopSeconds = 0;    // wall-clock duration of XPluginStop

    // Log
    std::vector<LogLine> log;
    bool keepLog = true;  // fuzzing logs millions of lines and keeps none
    void appendLog(const char* text);

    // A failure in the scenario or a broken expectation; the run exits non-zero.
    void fail(const std::string& message);
    int failures = 0;

private:
    Sim() = default;
    std::string m_PartialLine;
};

// ---- registries --------------------------------------------------------------

struct Option {
    std::string name;   // "--no-sound-bus"
    std::string value;  // placeholder shown in the usage text, empty for a switch
    std::string help;
    std::function<void(const std::string& value)> apply;
};
void registerOption(Option option);
const std::vector<Option>& options();

// A scenario keyword. `run` is called on the simulator thread at the step's time.
struct StepType {
    std::string keyword;
    std::string usage;
    std::function<void(const Args& args)> run;
};
void registerStep(StepType step);
const StepType* findStep(const std::string& keyword);
const std::map<std::string, StepType>& steps();

// Work done once per frame, in ascending order: scenario steps 10, commands 20,
// flight loops 50, sound 80, expectations 90.
void registerFrameHook(int order, std::function<void()> hook);
// Work done around the plug-in's life: before start (order < 0 hooks run in
// load order), and after stop.
void registerStartHook(std::function<void()> hook);
void registerEndHook(std::function<void()> hook);

void runFrame();
void runStartHooks();
void runEndHooks();

// Registers at static-initialisation time.
struct Registrar {
    explicit Registrar(const std::function<void()>& registration) { registration(); }
};

// ---- helpers shared by capability files ------------------------------------

int liveFlightLoopCount();

// Prepares an in-process host in a fresh temporary simulator folder whose log
// is dropped; returns the plug-in folder.
std::string useScratchHost(const std::string& name);
void clearFlightLoops();
// Forgets every sound and pending completion; the recording restarts silent up to now.
void resetSoundBus();

// Symbols handed out by XPLMFindSymbol.
void registerSymbol(const std::string& name, void* address);
void removeSymbol(const std::string& name);

double toDouble(const std::string& text, const std::string& what);
int toInt(const std::string& text, const std::string& what);

}  // namespace sim
