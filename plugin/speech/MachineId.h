// The identifier of this computer, to which stored API keys are bound.
#pragma once

#include <string>

class MachineId {
public:
    // Throws std::runtime_error when no identifier can be read.
    static std::string get();
    static std::string fromMachineIdFile(const std::string& primary = "/etc/machine-id",
                                         const std::string& fallback = "/var/lib/dbus/machine-id");
    // The whole file, or empty when it cannot be opened.
    static std::string readFile(const std::string& path);
    static std::string trim(const std::string& text);
};
