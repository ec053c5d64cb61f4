// One run of the real plug-in in simhost, in a simulator folder of its own
// under the build tree ("X-Plane 12", with a blank, as users have it).
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// One sound of simhost's sound bus, from its sound-events.txt.
struct BusSound {
    int id = 0;
    double start = 0;
    double end = -1;    // -1: still playing when the run ended
    std::string how;    // "end" when it ran out, "stop" when cut off
    std::string play;   // the play event
    float volume = -1;  // the last volume set, -1 when none was
};

class SimRun {
public:
    SimRun() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name)
            if (c == '/') c = '_';
        root = std::string(WORK_DIR) + "/" + name + "/";
        std::filesystem::remove_all(root);
        sim = root + "X-Plane 12/";
        plugin = sim + "Resources/plugins/Quillon/";
        std::filesystem::create_directories(sim + "Resources/plugins");
        std::filesystem::copy(PLUGIN_DIR, plugin, std::filesystem::copy_options::recursive);
        output = sim + "Output/simhost/";
    }

    // Copies the demo world (scenery and navigation data) into the simulator folder.
    void installWorld() {
        std::filesystem::copy(std::string(SOURCE_DIR) + "/demo/world", sim,
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    }

    // Runs simhost with the scenario text; returns its exit status.
    int run(const std::string& scenario, const std::vector<std::string>& options = {}) {
        const std::string scenarioFile = root + "scenario.txt";
        std::ofstream(scenarioFile) << scenario;
        std::string command = "PATH=" + quote(searchPath) + " " + quote(SIMHOST_PATH) + " --sim " + quote(sim) +
                              " --scenario " + quote(scenarioFile);
        for (const auto& option : options) command += " " + quote(option);
        command += " 2>&1";
        stdoutText.clear();
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return -1;
        char buffer[4096];
        while (fgets(buffer, sizeof buffer, pipe)) stdoutText += buffer;
        int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string log() const { return readFile(sim + "Log.txt"); }

    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        std::stringstream stream(log());
        std::string line;
        while (std::getline(stream, line)) lines.push_back(line);
        return lines;
    }

    // Every sound of the run, in the order they started.
    std::vector<BusSound> sounds() const {
        std::vector<BusSound> list;
        std::stringstream events(readFile(output + "sound-events.txt"));
        std::string line;
        while (std::getline(events, line)) {
            double time;
            char what[16];
            int id;
            float volume;
            if (sscanf(line.c_str(), "%lf %15s id=%d", &time, what, &id) != 3) continue;
            if (strcmp(what, "play") == 0) list.push_back({id, time, -1, "", line, -1});
            for (auto& sound : list) {
                if (sound.id != id) continue;
                if (strcmp(what, "end") == 0 || strcmp(what, "stop") == 0) {
                    sound.end = time;
                    sound.how = what;
                }
                if (strcmp(what, "volume") == 0 && sscanf(line.c_str(), "%*f volume id=%*d %f", &volume) == 1)
                    sound.volume = volume;
            }
        }
        return list;
    }

    // The RMS level of simhost's recording (44.1 kHz mono, 16-bit) between two simulator times.
    double recordingLevel(double from, double to) const {
        const std::string wav = readFile(output + "radio.wav");
        const size_t first = 44 + 2 * static_cast<size_t>(from * 44100), last = 44 + 2 * static_cast<size_t>(to * 44100);
        double sum = 0;
        size_t count = 0;
        for (size_t at = first; at + 1 < std::min(last, wav.size()); at += 2, ++count) {
            int16_t sample;
            memcpy(&sample, wav.data() + at, 2);
            sum += static_cast<double>(sample) * sample;
        }
        return count ? std::sqrt(sum / static_cast<double>(count)) : 0;
    }

    static std::string readFile(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream content;
        content << file.rdbuf();
        return content.str();
    }

    static std::string quote(const std::string& text) {
        std::string quoted = "'";
        for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    }

    std::string root, sim, plugin, output, stdoutText;
    // The plug-in's search path for outside programs: the system's own, so
    // that an AWS tool installed for the user is not asked for voices at start.
    std::string searchPath = "/usr/bin:/bin";
};
