// Loads a plug-in with dlopen and drives its five entry points.
#pragma once

#include <string>

namespace sim {

// Finds the .xpl under the simulator's Resources/plugins/ unless a path was given.
std::string findPlugin();
bool loadPlugin(const std::string& path);
bool startPlugin();  // XPluginStart then XPluginEnable
void stopPlugin();   // XPluginDisable (when enabled), XPluginStop, dlclose
void sendMessage(int from, int message, void* param);

}  // namespace sim
