// Scenario files: a timeline of steps and the expectations checked after the run.
//
//   # comment
//   <keyword> args...            setup, done before the plug-in starts
//   at <seconds> <keyword> args  done on the first frame at or after that time
//
// Arguments are separated by blanks; "double quotes" keep blanks inside one.
#pragma once

#include <string>

#include "Sim.h"

namespace sim {

bool loadScenario(const std::string& path);
// Splits one line into arguments; false with `error` set on an open quote.
bool tokenize(const std::string& line, Args& out, std::string& error);

}  // namespace sim
