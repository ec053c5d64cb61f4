// The simulator's log, folders, versions, the user aircraft, speech text,
// features and symbol lookup.
#include <dirent.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>

#include "Sim.h"
#include "host/XplmUtilities.h"

namespace sim {
namespace {

std::map<std::string, void*>& symbols() {
    static std::map<std::string, void*> map;
    return map;
}

std::map<std::string, int>& features() {
    static std::map<std::string, int> map;
    return map;
}

// Copies at most size-1 bytes and terminates.
void copyText(char* out, size_t size, const std::string& text) {
    if (!out || size == 0) return;
    size_t length = std::min(text.size(), size - 1);
    memcpy(out, text.data(), length);
    out[length] = '\0';
}

Registrar registrar([] {
    registerOption({"--xp11", "", "look like X-Plane 11: version 11.55, no new weather or ATC datarefs",
                    [](const std::string&) { Sim::get().flags["xp11"] = "1"; }});
    registerStep({"file", "file \"<path>\" \"<text>\": write a file below the simulator folder (\\n for a new line)",
                  [](const Args& args) {
                      if (args.size() != 2) throw std::runtime_error("usage: file \"<path>\" \"<text>\"");
                      const std::string path = Sim::get().simFolder + args[0];
                      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
                      std::ofstream(path, std::ios::binary) << args[1];
                  }});
    registerStep({"aircraft", "aircraft \"<path>\": the user aircraft's .acf, relative to the simulator folder",
                  [](const Args& args) {
                      if (args.size() != 1) throw std::runtime_error("usage: aircraft \"<path>\"");
                      Sim::get().aircraftPath = args[0];
                  }});
});

}  // namespace

void registerSymbol(const std::string& name, void* address) { symbols()[name] = address; }
void removeSymbol(const std::string& name) { symbols().erase(name); }

}  // namespace sim

extern "C" {

void XPLMDebugString(const char* text) {
    if (text) sim::Sim::get().appendLog(text);
}

void XPLMSpeakString(const char* text) {
    if (!text) return;
    if (FILE* file = fopen((sim::Sim::get().outputFolder + "spoken.txt").c_str(), "a")) {
        fprintf(file, "%.3f %s\n", sim::Sim::get().simTime, text);
        fclose(file);
    }
}

void XPLMGetSystemPath(char* outSystemPath) { sim::copyText(outSystemPath, 512, sim::Sim::get().simFolder); }

void XPLMGetVersions(int* outXPlaneVersion, int* outXPLMVersion, XPLMHostApplicationID* outHostID) {
    const bool xp11 = sim::Sim::get().flag("xp11");
    if (outXPlaneVersion) *outXPlaneVersion = xp11 ? 11550 : 12100;
    if (outXPLMVersion) *outXPLMVersion = xp11 ? 303 : 411;
    if (outHostID) *outHostID = xplm_Host_XPlane;
}

int XPLMGetDirectoryContents(const char* directoryPath, int firstReturn, char* outFileNames, int fileNameBufSize,
                             char** outIndices, int indexCount, int* outTotalFiles, int* outReturnedFiles) {
    std::vector<std::string> names;
    if (DIR* dir = directoryPath ? opendir(directoryPath) : nullptr) {
        while (dirent* entry = readdir(dir)) {
            if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) names.push_back(entry->d_name);
        }
        closedir(dir);
    }
    if (outTotalFiles) *outTotalFiles = static_cast<int>(names.size());
    int returned = 0;
    size_t used = 0;
    bool complete = true;
    for (size_t i = static_cast<size_t>(std::max(firstReturn, 0)); i < names.size(); ++i) {
        const std::string& name = names[i];
        if (!outFileNames || used + name.size() + 1 > static_cast<size_t>(std::max(fileNameBufSize, 0)) ||
            (outIndices && returned >= indexCount)) {
            complete = false;
            break;
        }
        memcpy(outFileNames + used, name.c_str(), name.size() + 1);
        if (outIndices) outIndices[returned] = outFileNames + used;
        used += name.size() + 1;
        ++returned;
    }
    if (outReturnedFiles) *outReturnedFiles = returned;
    return complete ? 1 : 0;
}

char* XPLMExtractFileAndPath(char* fullPath) {
    if (!fullPath) return fullPath;
    char* slash = strrchr(fullPath, '/');
    if (!slash) return fullPath;
    *slash = '\0';
    return slash + 1;
}

void XPLMGetNthAircraftModel(int index, char* outFileName, char* outPath) {
    std::string relative = index == 0 ? sim::Sim::get().aircraftPath : std::string();
    std::string fileName = relative.substr(relative.rfind('/') == std::string::npos ? 0 : relative.rfind('/') + 1);
    sim::copyText(outFileName, 256, fileName);
    sim::copyText(outPath, 512, relative.empty() ? std::string() : sim::Sim::get().simFolder + relative);
}

void XPLMEnableFeature(const char* feature, int enable) {
    if (feature) sim::features()[feature] = enable;
}

void* XPLMFindSymbol(const char* symbolName) {
    auto it = sim::symbols().find(symbolName ? symbolName : "");
    return it == sim::symbols().end() ? nullptr : it->second;
}

XPLMPluginID XPLMGetMyID(void) { return 1; }

void XPLMGetPluginInfo(XPLMPluginID plugin, char* outName, char* outFilePath, char* outSignature,
                       char* outDescription) {
    const sim::Sim& sim = sim::Sim::get();
    if (plugin == XPLM_PLUGIN_XPLANE) {
        sim::copyText(outName, 256, "X-Plane");
        sim::copyText(outFilePath, 256, sim.simFolder + "X-Plane-x86_64");
        sim::copyText(outSignature, 256, "xplanesdk.xplane");
        sim::copyText(outDescription, 256, "The simulator");
        return;
    }
    sim::copyText(outName, 256, sim.pluginName);
    sim::copyText(outFilePath, 256, sim.pluginPath);
    sim::copyText(outSignature, 256, sim.pluginSignature);
    sim::copyText(outDescription, 256, sim.pluginDescription);
}

}  // extern "C"
