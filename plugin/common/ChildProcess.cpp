#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

long millisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<long>(left) : 0;
}

// Reads until end of file or the deadline; false when the time ran out.
bool readAll(int fd, Clock::time_point deadline, size_t maxOutput, std::string& output) {
    char buffer[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        int ready = poll(&p, 1, static_cast<int>(std::min(millisecondsLeft(deadline), 1000L)));
        if (ready < 0 && errno != EINTR) return true;
        if (ready <= 0) {
            if (millisecondsLeft(deadline) == 0) return false;
            continue;
        }
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return true;
        size_t room = maxOutput - std::min(maxOutput, output.size());
        output.append(buffer, std::min(room, static_cast<size_t>(n)));
    }
}

// Waits for the child to exit until the deadline; -1 when it is still running.
int waitUntil(pid_t pid, Clock::time_point deadline, bool& exited) {
    for (;;) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            exited = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (done < 0 && errno != EINTR) {
            // Reaped elsewhere (SIGCHLD ignored by the host): gone, with an
            // unknown status that the caller judges by what it left behind.
            exited = true;
            return 0;
        }
        if (millisecondsLeft(deadline) == 0) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

ChildProcessResult runChildProcess(const std::vector<std::string>& args, long timeoutMilliseconds, size_t maxOutput) {
    ChildProcessResult result;
    if (args.empty()) {
        result.error = EINVAL;
        return result;
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        result.error = errno;
        return result;
    }
    result.outputAvailable = true;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    // A group of its own, so that a timeout also ends whatever it started.
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int spawnError = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(pipeFds[1]);
    if (spawnError != 0) {
        close(pipeFds[0]);
        result.error = spawnError;
        return result;
    }
    result.started = true;

    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    bool finished = readAll(pipeFds[0], deadline, maxOutput, result.output);
    close(pipeFds[0]);
    bool exited = false;
    if (finished) result.exitStatus = waitUntil(pid, deadline, exited);
    if (!exited) {
        result.timedOut = true;
        kill(-pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        result.exitStatus = -1;
    }
    return result;
}
