#include "PluginLoader.h"

#include <dirent.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "Sim.h"
#include "host/XplmTypes.h"

namespace sim {
namespace {

using StartFn = int (*)(char*, char*, char*);
using StopFn = void (*)();
using EnableFn = int (*)();
using DisableFn = void (*)();
using MessageFn = void (*)(XPLMPluginID, int, void*);

struct Plugin {
    void* handle = nullptr;
    StartFn start = nullptr;
    StopFn stop = nullptr;
    EnableFn enable = nullptr;
    DisableFn disable = nullptr;
    MessageFn receive = nullptr;
    bool started = false;
    bool enabled = false;
} gPlugin;

std::vector<std::string> listFolder(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

Registrar registrar([] {
    registerStep({"message", "message <id> [<parameter>]: send a message from the simulator",
                  [](const Args& args) {
                      if (args.empty() || args.size() > 2) throw std::runtime_error("usage: message <id> [<parameter>]");
                      intptr_t parameter = args.size() == 2 ? toInt(args[1], "message parameter") : 0;
                      sendMessage(XPLM_PLUGIN_XPLANE, toInt(args[0], "message"), reinterpret_cast<void*>(parameter));
                  }});
    registerStep({"disable", "disable: disable the plug-in", [](const Args&) {
                      if (gPlugin.enabled && gPlugin.disable) gPlugin.disable();
                      gPlugin.enabled = false;
                  }});
    registerStep({"enable", "enable: enable the plug-in again", [](const Args&) {
                      if (!gPlugin.enabled && gPlugin.started && gPlugin.enable) gPlugin.enabled = gPlugin.enable() != 0;
                  }});
});

}  // namespace

std::string findPlugin() {
    const std::string plugins = Sim::get().simFolder + "Resources/plugins/";
    for (const auto& folder : listFolder(plugins)) {
        const std::string dir = plugins + folder + "/lin_x64/";
        for (const auto& name : listFolder(dir)) {
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".xpl") == 0) return dir + name;
        }
    }
    return std::string();
}

bool loadPlugin(const std::string& path) {
    // Immediate binding: a missing simulator function fails the load, as in the simulator.
    gPlugin.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!gPlugin.handle) {
        fprintf(stderr, "simhost: dlerror: %s\n", dlerror());
        return false;
    }
    gPlugin.start = reinterpret_cast<StartFn>(dlsym(gPlugin.handle, "XPluginStart"));
    gPlugin.stop = reinterpret_cast<StopFn>(dlsym(gPlugin.handle, "XPluginStop"));
    gPlugin.enable = reinterpret_cast<EnableFn>(dlsym(gPlugin.handle, "XPluginEnable"));
    gPlugin.disable = reinterpret_cast<DisableFn>(dlsym(gPlugin.handle, "XPluginDisable"));
    gPlugin.receive = reinterpret_cast<MessageFn>(dlsym(gPlugin.handle, "XPluginReceiveMessage"));
    if (!gPlugin.start || !gPlugin.stop || !gPlugin.enable || !gPlugin.disable || !gPlugin.receive) {
        fprintf(stderr, "simhost: %s lacks one of the five entry points\n", path.c_str());
        dlclose(gPlugin.handle);
        gPlugin.handle = nullptr;
        return false;
    }
    Sim::get().pluginPath = path;
    return true;
}

bool startPlugin() {
    char name[256] = "", signature[256] = "", description[256] = "";
    int started = gPlugin.start(name, signature, description);
    Sim& sim = Sim::get();
    sim.pluginName = std::string(name, strnlen(name, sizeof name));
    sim.pluginSignature = std::string(signature, strnlen(signature, sizeof signature));
    sim.pluginDescription = std::string(description, strnlen(description, sizeof description));
    if (!started) {
        fprintf(stderr, "simhost: %s refused to start\n", sim.pluginPath.c_str());
        return false;
    }
    gPlugin.started = true;
    printf("simhost: started %s (%s)\n", sim.pluginName.c_str(), sim.pluginSignature.c_str());
    gPlugin.enabled = gPlugin.enable() != 0;
    return true;
}

void stopPlugin() {
    if (!gPlugin.handle) return;
    if (gPlugin.started) {
        if (gPlugin.enabled) gPlugin.disable();
        gPlugin.enabled = false;
        auto before = std::chrono::steady_clock::now();
        gPlugin.stop();
        Sim::get().stopSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
        gPlugin.started = false;
    }
    dlclose(gPlugin.handle);
    gPlugin.handle = nullptr;
}

void sendMessage(int from, int message, void* param) {
    if (gPlugin.started && gPlugin.receive) gPlugin.receive(from, message, param);
}

}  // namespace sim
