#include "nav/RegionMap.h"

#include <sstream>

#include "Settings.h"
#include "audio/Clips.h"
#include "common/Common.h"
#include "common/Files.h"
#include "nav/Airport.h"

namespace {

const char* const DEFAULT_REGION_LETTERS[MAX_REGIONS] = {"GDFHF", "RZV", "CB", "ELUO", "YNWA", "MS", "KP", ""};
constexpr int64_t REGION_CHECK_INTERVAL = 60000;  // ms
constexpr size_t MAX_REGION_MAP_LINE = 499;

RegionMapManager* gInstance = nullptr;

// The lines of a text without their line ends.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Sets the flag of every collection of the type; true when one changed.
template <typename Selected>
bool selectCollections(ClipCollections& type, Selected isSelected) {
    bool changed = false;
    for (auto& entry : type.m_ControllerSets) {
        const bool selected = isSelected(entry.first);
        if (entry.second.selected != selected) {
            entry.second.selected = selected;
            changed = true;
        }
    }
    return changed;
}

}  // namespace

RegionMapManager* RegionMapManager::getInstance() {
    if (!gInstance) gInstance = new RegionMapManager();
    return gInstance;
}

void RegionMapManager::removeInstance() {
    delete gInstance;
    gInstance = nullptr;
}

RegionMapManager::RegionMapManager() : m_LastCheck(-REGION_CHECK_INTERVAL) {
    for (int region = 0; region < MAX_REGIONS; ++region) {
        regionNames[region] = ::regionNames[region];
        regionToIndex[regionNames[region]] = region;
    }
    readMapping();
}

RegionMapManager::~RegionMapManager() { saveMapping(); }

void RegionMapManager::readMapping() {
    readRegionMap();
    readIdentToCountry();
}

void RegionMapManager::readRegionMap() {
    std::string text;
    if (!readTextFile(makePluginFileName("RegionMap.txt"), text)) {
        logMsg("Creating Default RegionMap.txt");
        for (int region = 0; region < MAX_REGIONS; ++region) regionIcaoMap[region] = DEFAULT_REGION_LETTERS[region];
        saveMapping();
        return;
    }
    for (int region = 0; region < MAX_REGIONS; ++region) regionIcaoMap[region].clear();
    for (std::string line : splitLines(text)) {
        if (line.size() > MAX_REGION_MAP_LINE) line.resize(MAX_REGION_MAP_LINE);
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const auto region = regionToIndex.find(line.substr(0, equals));
        if (region != regionToIndex.end()) regionIcaoMap[region->second] = line.substr(equals + 1);
    }
}

void RegionMapManager::readIdentToCountry() {
    const std::string path = makePluginFileName("IdentToCountry.csv");
    std::string text;
    if (!readTextFile(path, text)) {
        sLogMsg("Unable to open %s", path.c_str());
        return;
    }
    const std::vector<std::string> lines = splitLines(text);
    for (size_t i = 1; i < lines.size(); ++i) {
        const size_t comma = lines[i].find(',');
        if (comma != std::string::npos) icaoToCountry.emplace(lines[i].substr(0, comma), lines[i].substr(comma + 1));
    }
}

bool RegionMapManager::saveMapping() {
    std::string text;
    for (int region = 0; region < MAX_REGIONS; ++region) text += regionNames[region] + "=" + regionIcaoMap[region] + "\n";
    if (writeFileAtomically(makePluginFileName("RegionMap.txt"), text)) return true;
    logMsg("Error writing RegionMap.txt");
    return false;
}

std::string RegionMapManager::findCountry(const std::string& ident) const {
    const auto found = icaoToCountry.find(ident);
    return found == icaoToCountry.end() ? std::string() : found->second;
}

int RegionMapManager::selectRegion(std::string& country, std::map<std::string, bool>& matchingRegions) {
    matchingRegions.clear();
    country.clear();
    if (!gSettings.autoSelectRegionAndCountry) return 0;
    const cAirport* airport = cAirport::getClosestAirport(true, true);
    if (!airport || airport->trueIcaoCode.empty()) return 0;
    country = findCountry(airport->trueIcaoCode);
    const char first = airport->trueIcaoCode[0];
    for (int region = 0; region < MAX_REGIONS; ++region)
        if (regionIcaoMap[region].find(first) != std::string::npos) matchingRegions[regionNames[region]] = true;
    return static_cast<int>(matchingRegions.size());
}

void RegionMapManager::checkRegion() {
    const int64_t now = getElapsedMilliSeconds();
    if (now - m_LastCheck < REGION_CHECK_INTERVAL || !gSettings.autoSelectRegionAndCountry) return;
    ClipManager& clips = getClipManager();
    std::string country;
    std::map<std::string, bool> matchingRegions;
    for (auto& entry : clips.m_ClipsCollectionTypes.m_ClipCollections) {
        ClipCollections& type = entry.second;
        if (!type.selected) continue;
        if (entry.first == CLIP_TYPE_REGIONS) {
            if (selectRegion(country, matchingRegions) == 0) continue;
            if (selectCollections(type, [&](const std::string& name) { return matchingRegions.count(name) > 0; }))
                clips.buildWorkingSet();
        } else if (entry.first == CLIP_TYPE_COUNTRIES) {
            selectRegion(country, matchingRegions);
            if (type.m_ControllerSets.count(country) == 0) continue;
            if (selectCollections(type, [&](const std::string& name) { return name == country; }))
                clips.buildWorkingSet();
        }
    }
    m_LastCheck = now;
}

void RegionMapManager::resetRegionCheck() { m_LastCheck = -REGION_CHECK_INTERVAL; }
