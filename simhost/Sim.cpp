#include "Sim.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <stdexcept>

namespace sim {

namespace {
std::vector<Option>& optionList() {
    static std::vector<Option> list;
    return list;
}
std::map<std::string, StepType>& stepMap() {
    static std::map<std::string, StepType> map;
    return map;
}
std::vector<std::pair<int, std::function<void()>>>& frameHooks() {
    static std::vector<std::pair<int, std::function<void()>>> hooks;
    return hooks;
}
std::vector<std::function<void()>>& startHooks() {
    static std::vector<std::function<void()>> hooks;
    return hooks;
}
std::vector<std::function<void()>>& endHooks() {
    static std::vector<std::function<void()>> hooks;
    return hooks;
}
std::mutex& logMutex() {
    static std::mutex mutex;
    return mutex;
}
}  // namespace

Sim& Sim::get() {
    static Sim instance;
    return instance;
}

void Sim::appendLog(const char* text) {
    std::lock_guard<std::mutex> lock(logMutex());
    if (!simFolder.empty() && keepLog) {
        if (FILE* file = fopen((simFolder + "Log.txt").c_str(), "a")) {
            fputs(text, file);
            fclose(file);
        }
    }
    if (verbose) {
        fputs(text, stdout);
        fflush(stdout);
    }
    if (!keepLog) return;
    // The log is kept line by line, with the time each line was completed.
    m_PartialLine += text;
    size_t newline;
    while ((newline = m_PartialLine.find('\n')) != std::string::npos) {
        log.push_back({simTime, m_PartialLine.substr(0, newline)});
        m_PartialLine.erase(0, newline + 1);
    }
}

void Sim::fail(const std::string& message) {
    ++failures;
    fprintf(stdout, "FAILED: %s\n", message.c_str());
    fflush(stdout);
}

void registerOption(Option option) { optionList().push_back(std::move(option)); }
const std::vector<Option>& options() { return optionList(); }

void registerStep(StepType step) {
    std::string keyword = step.keyword;
    stepMap()[keyword] = std::move(step);
}
const StepType* findStep(const std::string& keyword) {
    auto it = stepMap().find(keyword);
    return it == stepMap().end() ? nullptr : &it->second;
}
const std::map<std::string, StepType>& steps() { return stepMap(); }

void registerFrameHook(int order, std::function<void()> hook) {
    auto& hooks = frameHooks();
    hooks.emplace_back(order, std::move(hook));
    std::stable_sort(hooks.begin(), hooks.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}
void registerStartHook(std::function<void()> hook) { startHooks().push_back(std::move(hook)); }
void registerEndHook(std::function<void()> hook) { endHooks().push_back(std::move(hook)); }

void runFrame() {
    for (auto& hook : frameHooks()) hook.second();
}
void runStartHooks() {
    for (auto& hook : startHooks()) hook();
}
void runEndHooks() {
    for (auto& hook : endHooks()) hook();
}

double toDouble(const std::string& text, const std::string& what) {
    char* end = nullptr;
    double value = strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') throw std::runtime_error("not a number for " + what + ": '" + text + "'");
    return value;
}

int toInt(const std::string& text, const std::string& what) {
    char* end = nullptr;
    long value = strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0') throw std::runtime_error("not an integer for " + what + ": '" + text + "'");
    return static_cast<int>(value);
}

}  // namespace sim
