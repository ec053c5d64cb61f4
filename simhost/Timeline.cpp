// --timeline <regex>: after the run, the log lines that match, each with the
// simulator time at which it was written.
#include <cstdio>
#include <regex>

#include "Sim.h"

namespace sim {
namespace {

std::string gPattern;

Registrar registrar([] {
    registerOption({"--timeline", "<regex>", "print the matching log lines with their simulator times after the run",
                    [](const std::string& value) { gPattern = value; }});
    registerEndHook([] {
        if (gPattern.empty()) return;
        const std::regex pattern(gPattern, std::regex::extended);
        printf("\nTimeline:\n");
        for (const auto& line : Sim::get().log) {
            if (!std::regex_search(line.text, pattern)) continue;
            const size_t colon = line.text.find(": ");
            printf("  %7.2f s  %s\n", line.simTime, colon == std::string::npos ? line.text.c_str() : line.text.c_str() + colon + 2);
        }
    });
});

}  // namespace
}  // namespace sim
