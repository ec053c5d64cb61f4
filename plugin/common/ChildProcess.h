// Runs an outside program from an argument vector, never through a shell, so
// that no argument is ever interpreted; collects what it writes to its
// standard output.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ChildProcessResult {
    bool outputAvailable = false;  // false: no pipe for its standard output, so nothing was started
    bool started = false;          // false: the program could not be started (`error` says why)
    bool timedOut = false;         // it was killed when the time was up
    int exitStatus = -1;           // its exit code, -1 when it did not exit by itself, 0 when unknown
    int error = 0;                 // errno of a failed start
    std::string output;            // at most `maxOutput` bytes of its standard output
};

// Starts args[0], looked up on the executable search path, with the arguments
// and this process's environment; its standard input is empty and no other
// descriptor of this process is passed on. Waits until it has finished or
// `timeoutMilliseconds` have passed (then it is killed with
// everything it started); no finished child remains.
ChildProcessResult runChildProcess(const std::vector<std::string>& args, long timeoutMilliseconds,
                                   size_t maxOutput = 16 * 1024 * 1024);
