// "ttsSettings.json": the usage date, the services' objects and the voice sets.
#include <cstdio>
#include <exception>
#include <nlohmann/json.hpp>

#include "VoiceManager.h"
#include "common/Common.h"
#include "common/Files.h"
#include "panels/MsgBox.h"

using nlohmann::json;

namespace {

const char* const SETTINGS_FILE = "ttsSettings.json";

void showReadError(const std::string& path, const std::string& description) {
    sMsgBox("ERROR", "Unexpected error reading %s: %s", path.c_str(), description.c_str());
}

void appendError(std::string& errors, const std::string& error) {
    if (error.empty()) return;
    if (!errors.empty()) errors += "\n";
    errors += error;
}

VoiceSelection readSelection(const json& j) {
    VoiceSelection selection;
    selection.m_Atc = j.at("Use as ATC").get<bool>();
    // Files of older versions have no traffic pilots.
    auto trafficPilot = j.find("Use as Traffic Pilot");
    if (trafficPilot != j.end() && trafficPilot->is_boolean()) selection.m_TrafficPilot = trafficPilot->get<bool>();
    const int role = j.at("Crew Role").get<int>();
    if (role < CREW_NONE || role > CREW_FLIGHT_ATTENDENT) throw std::out_of_range("crew role");
    selection.m_crewRole = static_cast<CrewRole>(role);
    selection.key = j.at("Key").get<std::string>();
    return selection;
}

// What could be read of one set; the errors are appended.
VoiceSet readVoiceSet(const json& j, std::string& errors) {
    VoiceSet set;
    try {
        set.name = j.at("Name").get<std::string>();
        auto selections = j.find("Selections");
        if (selections == j.end()) return set;  // written so when no voice has a role
        if (!selections->is_array()) throw std::invalid_argument("selections");
        for (const json& element : *selections) {
            try {
                VoiceSelection selection = readSelection(element);
                set.voiceSelections[selection.key] = selection;
            } catch (const std::exception&) {
                appendError(errors, "[ERROR] Unexpected error while reading voice selection");
            }
        }
    } catch (const std::exception&) {
        appendError(errors, "[ERROR] Unexpected error while reading voice set");
    }
    return set;
}

json voiceSetToJson(const VoiceSet& set) {
    json j = {{"Name", set.name}};
    json selections = json::array();
    for (const auto& entry : set.voiceSelections) {
        const VoiceSelection& selection = entry.second;
        if (!selection.m_Atc && !selection.m_TrafficPilot && selection.m_crewRole == CREW_NONE) continue;
        selections.push_back({{"Use as ATC", selection.m_Atc},
                              {"Use as Traffic Pilot", selection.m_TrafficPilot},
                              {"Crew Role", static_cast<int>(selection.m_crewRole)},
                              {"Key", selection.key}});
    }
    if (!selections.empty()) j["Selections"] = std::move(selections);
    return j;
}

// Moves a file that could not be read out of the way, so that the next save
// does not overwrite what the user may still recover from it (API keys).
void keepAside(const std::string& path) {
    std::string aside = path + ".damaged";
    for (int n = 2; fileExists(aside) && n < 1000; ++n) aside = path + ".damaged" + std::to_string(n);
    if (std::rename(path.c_str(), aside.c_str()) == 0)
        sLogMsg("The unreadable %s was kept as %s", path.c_str(), aside.c_str());
    else
        sLogMsg("Unable to keep the unreadable %s aside; it will be replaced", path.c_str());
}

}  // namespace

void VoiceManager::readSettings() {
    resetUsageData();
    const std::string path = makePluginFileName(SETTINGS_FILE);
    if (!fileExists(path)) return;
    std::string text;
    if (!readTextFile(path, text)) {
        showReadError(path, "the file cannot be opened");
        return;
    }
    if (!readSettingsText(text, path)) keepAside(path);
}

bool VoiceManager::readSettingsText(const std::string& text, const std::string& path) {
    json root;
    try {
        root = json::parse(text);
    } catch (const json::exception& e) {
        showReadError(path, e.what());
        return false;
    }
    if (!root.is_object()) {
        showReadError(path, "the file does not hold a JSON object");
        return false;
    }
    std::string errors;
    auto date = root.find("Usage Date");
    if (date != root.end() && date->is_string()) {
        Lock lock(m_Lock);
        usageDate = date->get<std::string>();
    }
    auto stored = root.find("Services");
    if (stored != root.end() && stored->is_array()) {
        for (json& element : *stored) {
            auto name = element.is_object() ? element.find("Name") : element.end();
            if (name == element.end() || !name->is_string()) continue;
            for (const auto& service : services)
                if (service->getServiceName() == name->get<std::string>()) appendError(errors, service->fromJson(element));
        }
    }
    auto sets = root.find("Voice Sets");
    if (sets != root.end() && sets->is_array()) {
        std::vector<VoiceSet> read;
        for (const json& element : *sets) read.push_back(readVoiceSet(element, errors));
        if (read.empty()) read.push_back({"Default", {}});
        Lock lock(m_Lock);
        voiceSets = std::move(read);
        currentvoiceSet = 0;
    }
    if (errors.empty()) return true;
    showReadError(path, errors);
    return false;
}

std::string VoiceManager::settingsText() const {
    json root;
    json stored = json::array();
    for (const auto& service : services) stored.push_back(service->toJson());
    json sets = json::array();
    {
        Lock lock(m_Lock);
        root["Usage Date"] = usageDate;
        for (const VoiceSet& set : voiceSets) sets.push_back(voiceSetToJson(set));
    }
    root["Services"] = std::move(stored);
    root["Voice Sets"] = std::move(sets);
    return root.dump(4, ' ', false, json::error_handler_t::replace) + "\n";
}

bool VoiceManager::saveSettings() {
    const std::string path = makePluginFileName(SETTINGS_FILE);
    if (writeFileAtomically(path, settingsText())) return true;
    sLogMsg("ERROR: Unable to write %s", path.c_str());
    return false;
}
