// Commands: plug-ins create them and attach handlers; scenarios press them
// once or hold them for a while.
#include <map>
#include <memory>
#include <stdexcept>

#include "Sim.h"
#include "host/XplmCommands.h"

namespace sim {
namespace {

struct Handler {
    XPLMCommandCallback_f callback;
    int before;
    void* refcon;
};

struct Command {
    std::string name;
    std::string description;
    std::vector<Handler> handlers;
    bool held = false;
    double releaseAt = 0;
};

std::map<std::string, std::unique_ptr<Command>>& commands() {
    static std::map<std::string, std::unique_ptr<Command>> map;
    return map;
}

void dispatch(Command* command, XPLMCommandPhase phase) {
    auto handlers = command->handlers;  // a handler may unregister itself
    for (int before : {1, 0}) {
        for (const auto& handler : handlers) {
            if (handler.before != before) continue;
            if (handler.callback(command, phase, handler.refcon) == 0 && before) return;
        }
    }
}

Command* require(const std::string& name) {
    auto it = commands().find(name);
    if (it == commands().end()) throw std::runtime_error("no command named " + name);
    return it->second.get();
}

Registrar registrar([] {
    registerStep({"command", "command <name> [once|begin|end]: press a command (once by default)",
                  [](const Args& args) {
                      if (args.empty() || args.size() > 2) throw std::runtime_error("usage: command <name> [once|begin|end]");
                      Command* command = require(args[0]);
                      std::string how = args.size() == 2 ? args[1] : "once";
                      if (how == "once") XPLMCommandOnce(command);
                      else if (how == "begin") XPLMCommandBegin(command);
                      else if (how == "end") XPLMCommandEnd(command);
                      else throw std::runtime_error("unknown command action " + how);
                  }});
    registerStep({"hold", "hold <name> <seconds>: hold a command down for that long",
                  [](const Args& args) {
                      if (args.size() != 2) throw std::runtime_error("usage: hold <name> <seconds>");
                      Command* command = require(args[0]);
                      XPLMCommandBegin(command);
                      command->releaseAt = Sim::get().simTime + toDouble(args[1], "hold");
                  }});
    // Held commands continue every frame until released.
    registerFrameHook(20, [] {
        for (auto& entry : commands()) {
            Command* command = entry.second.get();
            if (!command->held) continue;
            if (command->releaseAt > 0 && Sim::get().simTime + 1e-9 >= command->releaseAt) XPLMCommandEnd(command);
            else dispatch(command, xplm_CommandContinue);
        }
    });
});

}  // namespace
}  // namespace sim

extern "C" {

XPLMCommandRef XPLMCreateCommand(const char* name, const char* description) {
    if (!name || !*name) return nullptr;
    auto& slot = sim::commands()[name];
    if (!slot) {
        slot = std::make_unique<sim::Command>();
        slot->name = name;
        slot->description = description ? description : "";
    }
    return slot.get();
}

XPLMCommandRef XPLMFindCommand(const char* name) {
    auto it = sim::commands().find(name ? name : "");
    return it == sim::commands().end() ? nullptr : it->second.get();
}

void XPLMRegisterCommandHandler(XPLMCommandRef command, XPLMCommandCallback_f handler, int runBefore, void* refcon) {
    if (!command || !handler) return;
    static_cast<sim::Command*>(command)->handlers.push_back({handler, runBefore ? 1 : 0, refcon});
}

void XPLMUnregisterCommandHandler(XPLMCommandRef command, XPLMCommandCallback_f handler, int runBefore,
                                  void* refcon) {
    if (!command) return;
    auto& handlers = static_cast<sim::Command*>(command)->handlers;
    for (auto it = handlers.begin(); it != handlers.end(); ++it) {
        if (it->callback == handler && it->before == (runBefore ? 1 : 0) && it->refcon == refcon) {
            handlers.erase(it);
            return;
        }
    }
}

void XPLMCommandBegin(XPLMCommandRef command) {
    auto* entry = static_cast<sim::Command*>(command);
    if (!entry || entry->held) return;
    entry->held = true;
    entry->releaseAt = 0;
    sim::dispatch(entry, xplm_CommandBegin);
}

void XPLMCommandEnd(XPLMCommandRef command) {
    auto* entry = static_cast<sim::Command*>(command);
    if (!entry || !entry->held) return;
    entry->held = false;
    sim::dispatch(entry, xplm_CommandEnd);
}

void XPLMCommandOnce(XPLMCommandRef command) {
    XPLMCommandBegin(command);
    XPLMCommandEnd(command);
}

}  // extern "C"
