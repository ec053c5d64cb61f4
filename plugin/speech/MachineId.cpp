#include "MachineId.h"

#include <stdexcept>

#include "common/Files.h"

std::string MachineId::get() { return fromMachineIdFile(); }

std::string MachineId::fromMachineIdFile(const std::string& primary, const std::string& fallback) {
    std::string id = trim(readFile(primary));
    if (id.empty()) id = trim(readFile(fallback));
    if (id.empty()) throw std::runtime_error("MachineId: neither " + primary + " nor " + fallback + " could be read");
    return id;
}

std::string MachineId::readFile(const std::string& path) {
    std::string content;
    return readTextFile(path, content) ? content : std::string();
}

std::string MachineId::trim(const std::string& text) {
    const char* whitespace = " \t\n\v\f\r";
    size_t first = text.find_first_not_of(whitespace);
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(whitespace);
    return text.substr(first, last - first + 1);
}
