// Expectations of a scenario: log lines that must (or must not) appear, their
// order, and how quickly the plug-in stops. Checked after the run; dataref
// expectations (DataRefs.cpp) are checked at their time.
#include <limits>
#include <regex>
#include <stdexcept>

#include "Sim.h"

namespace sim {
namespace {

struct LogExpectation {
    enum Kind { APPEARS, ABSENT, ORDER } kind;
    std::vector<std::string> patterns;
    double before;
};

std::vector<LogExpectation>& expectations() {
    static std::vector<LogExpectation> list;
    return list;
}
double gStopLimit = -1;

std::regex compile(const std::string& pattern) {
    try {
        return std::regex(pattern, std::regex::extended);
    } catch (const std::regex_error& e) {
        throw std::runtime_error("bad pattern '" + pattern + "': " + e.what());
    }
}

void check() {
    Sim& sim = Sim::get();
    for (const auto& expectation : expectations()) {
        if (expectation.kind == LogExpectation::ORDER) {
            size_t next = 0;
            for (const auto& line : sim.log) {
                if (next < expectation.patterns.size() &&
                    std::regex_search(line.text, compile(expectation.patterns[next])))
                    ++next;
            }
            if (next < expectation.patterns.size())
                sim.fail("log lines out of order or missing: '" + expectation.patterns[next] + "' not found after '" +
                         (next ? expectation.patterns[next - 1] : std::string("start")) + "'");
            continue;
        }
        std::regex pattern = compile(expectation.patterns[0]);
        bool found = false;
        for (const auto& line : sim.log) {
            if (line.simTime < expectation.before && std::regex_search(line.text, pattern)) {
                found = true;
                break;
            }
        }
        if (expectation.kind == LogExpectation::APPEARS && !found) {
            std::string when = expectation.before == std::numeric_limits<double>::infinity()
                                   ? std::string()
                                   : " before " + std::to_string(expectation.before) + " s";
            sim.fail("no log line matches '" + expectation.patterns[0] + "'" + when);
        }
        if (expectation.kind == LogExpectation::ABSENT && found)
            sim.fail("a log line matches '" + expectation.patterns[0] + "'");
    }
    if (gStopLimit >= 0 && sim.stopSeconds > gStopLimit)
        sim.fail("XPluginStop took " + std::to_string(sim.stopSeconds) + " s, limit " + std::to_string(gStopLimit) +
                 " s");
}

Registrar registrar([] {
    registerStep({"expect-log", "expect-log \"<regex>\" [before <seconds>]: a log line matches",
                  [](const Args& args) {
                      if (args.size() != 1 && !(args.size() == 3 && args[1] == "before"))
                          throw std::runtime_error("usage: expect-log \"<regex>\" [before <seconds>]");
                      compile(args[0]);
                      double before = args.size() == 3 ? toDouble(args[2], "before")
                                                       : std::numeric_limits<double>::infinity();
                      expectations().push_back({LogExpectation::APPEARS, {args[0]}, before});
                  }});
    registerStep({"expect-no-log", "expect-no-log \"<regex>\": no log line matches",
                  [](const Args& args) {
                      if (args.size() != 1) throw std::runtime_error("usage: expect-no-log \"<regex>\"");
                      compile(args[0]);
                      expectations().push_back(
                          {LogExpectation::ABSENT, {args[0]}, std::numeric_limits<double>::infinity()});
                  }});
    registerStep({"expect-log-order", "expect-log-order \"<regex>\"...: lines matching these appear in this order",
                  [](const Args& args) {
                      if (args.empty()) throw std::runtime_error("usage: expect-log-order \"<regex>\"...");
                      for (const auto& pattern : args) compile(pattern);
                      expectations().push_back(
                          {LogExpectation::ORDER, args, std::numeric_limits<double>::infinity()});
                  }});
    registerStep({"expect-stop-within", "expect-stop-within <seconds>: XPluginStop returns within this time",
                  [](const Args& args) {
                      if (args.size() != 1) throw std::runtime_error("usage: expect-stop-within <seconds>");
                      gStopLimit = toDouble(args[0], "expect-stop-within");
                  }});
    registerEndHook(check);
});

}  // namespace
}  // namespace sim
