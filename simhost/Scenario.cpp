#include "Scenario.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace sim {

namespace {

struct TimedStep {
    double time;
    int line;
    const StepType* type;
    Args args;
};

std::vector<TimedStep>& timeline() {
    static std::vector<TimedStep> steps;
    return steps;
}
size_t gNext = 0;

void runStep(const TimedStep& step) {
    try {
        step.type->run(step.args);
    } catch (const std::exception& e) {
        Sim::get().fail("scenario line " + std::to_string(step.line) + " (" + step.type->keyword + "): " + e.what());
    }
}

Registrar registrar([] {
    // Timed steps run before anything else of the frame, as input would.
    registerFrameHook(10, [] {
        auto& steps = timeline();
        const double now = Sim::get().simTime + 1e-9;
        while (gNext < steps.size() && steps[gNext].time <= now) runStep(steps[gNext++]);
    });
    registerStep({"end", "end <seconds>: stop the plug-in at that time",
                  [](const Args& args) {
                      if (args.size() != 1) throw std::runtime_error("usage: end <seconds>");
                      Sim::get().endTime = toDouble(args[0], "end");
                  }});
});

}  // namespace

bool tokenize(const std::string& line, Args& out, std::string& error) {
    out.clear();
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size() || line[i] == '#') break;
        std::string token;
        if (line[i] == '"') {
            size_t close = ++i;
            while (close < line.size() && line[close] != '"') {
                if (line[close] == '\\' && close + 1 < line.size()) {
                    char next = line[close + 1];
                    token += next == 'n' ? '\n' : next;
                    close += 2;
                    continue;
                }
                token += line[close++];
            }
            if (close >= line.size()) {
                error = "unterminated quote";
                return false;
            }
            i = close + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') token += line[i++];
        }
        out.push_back(token);
    }
    return true;
}

bool loadScenario(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        fprintf(stderr, "simhost: cannot open scenario %s\n", path.c_str());
        return false;
    }
    std::vector<TimedStep> setup;
    std::string text;
    int lineNumber = 0;
    bool ok = true;
    while (std::getline(file, text)) {
        ++lineNumber;
        Args args;
        std::string error;
        if (!tokenize(text, args, error)) {
            fprintf(stderr, "simhost: %s:%d: %s\n", path.c_str(), lineNumber, error.c_str());
            ok = false;
            continue;
        }
        if (args.empty()) continue;
        double time = -1;
        if (args[0] == "at") {
            if (args.size() < 3) {
                fprintf(stderr, "simhost: %s:%d: 'at' needs a time and a step\n", path.c_str(), lineNumber);
                ok = false;
                continue;
            }
            try {
                time = toDouble(args[1], "at");
            } catch (const std::exception& e) {
                fprintf(stderr, "simhost: %s:%d: %s\n", path.c_str(), lineNumber, e.what());
                ok = false;
                continue;
            }
            args.erase(args.begin(), args.begin() + 2);
        }
        const StepType* type = findStep(args[0]);
        if (!type) {
            fprintf(stderr, "simhost: %s:%d: unknown step '%s'\n", path.c_str(), lineNumber, args[0].c_str());
            ok = false;
            continue;
        }
        args.erase(args.begin());
        (time < 0 ? setup : timeline()).push_back({time, lineNumber, type, args});
    }
    std::stable_sort(timeline().begin(), timeline().end(),
                     [](const TimedStep& a, const TimedStep& b) { return a.time < b.time; });
    // Setup lines run before the plug-in starts, in file order.
    registerStartHook([setup] {
        for (const auto& step : setup) runStep(step);
    });
    return ok;
}

}  // namespace sim
