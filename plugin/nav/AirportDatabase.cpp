// Loading the airport map at start: the cache, the scenery check and the rebuild.
#include "AirportDatabase.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "Settings.h"
#include "common/Common.h"
#include "common/LineReader.h"

namespace {

constexpr size_t SCENERY_LINE_BUFFER = 5000;
const char* const PACK_KEYWORD = "SCENERY_PACK ";

std::string sceneryPacksPath() { return getSystemPathString() + "Custom Scenery/scenery_packs.ini"; }

// One line without its line end, or false at the end of the file.
bool nextLine(LineReader& reader, std::string& line) {
    size_t length = 0;
    const char* text = reader.next(&length);
    if (!text) return false;
    while (length > 0 && text[length - 1] == '\r') --length;
    line.assign(text, length);
    return true;
}

bool sceneryListsDiffer(FILE* current, FILE* copy) {
    LineReader currentLines(current, SCENERY_LINE_BUFFER);
    LineReader copyLines(copy, SCENERY_LINE_BUFFER);
    std::string line, copied;
    while (nextLine(currentLines, line)) {
        if (!nextLine(copyLines, copied)) copied.clear();
        if (line != copied) return true;
    }
    return nextLine(copyLines, copied);
}

bool copyFile(FILE* from, FILE* to) {
    char buffer[1 << 16];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, from)) > 0)
        if (fwrite(buffer, 1, got, to) != got) return false;
    return !ferror(from);
}

// The apt.dat of one scenery_packs.ini entry, or "" for lines that name no enabled pack.
std::string packAirportFile(std::string line, const std::string& simulatorFolder) {
    if (line.find("SCENERY_PACK *GLOBAL_AIRPORTS*") != std::string::npos)
        line = "SCENERY_PACK Global Scenery/Global Airports/";
    const std::string pack = line.size() > 13 ? line.substr(13) : std::string();
    if (line.find("SCENERY_PACK Global Scenery") != std::string::npos ||
        line.find("SCENERY_PACK Custom Scenery") != std::string::npos)
        return simulatorFolder + pack + "Earth nav data/apt.dat";
    if (line.find(PACK_KEYWORD) != std::string::npos) return pack + "Earth nav data/apt.dat";
    return std::string();
}

}  // namespace

bool hasCustomSceneryChanges() {
    const std::string packs = sceneryPacksPath();
    const std::string last = makePluginFileName("last_scenery_packs.ini");
    bool changed = true;
    if (fileExists(last)) {
        FILE* current = fopen(packs.c_str(), "rb");
        FILE* copy = current ? fopen(last.c_str(), "rb") : nullptr;
        if (!current || !copy) {
            sLogMsg("Error: unable to read %s", current ? last.c_str() : packs.c_str());
            if (current) fclose(current);
            return false;
        }
        changed = sceneryListsDiffer(current, copy);
        fclose(current);
        fclose(copy);
        if (changed) logMsg("Detected changes to custom scenery, airport database will be rebuilt.");
    }
    if (!changed) return false;

    FILE* source = fopen(packs.c_str(), "rb");
    if (!source) {
        sLogMsg("Error: unable to read %s", packs.c_str());
        return false;
    }
    FILE* target = fopen(last.c_str(), "wb");
    bool written = target && copyFile(source, target);
    if (target && fclose(target) != 0) written = false;
    fclose(source);
    // The scenery did change: the rebuild must happen even when the new list cannot be recorded.
    if (!written) sLogMsg("Error: unable to write %s", last.c_str());
    return true;
}

void readAirports() {
    const int64_t start = getElapsedMilliSeconds();
    const std::string simulatorFolder = getSystemPathString();
    if (FILE* packs = fopen(sceneryPacksPath().c_str(), "rb")) {
        {
            LineReader reader(packs, SCENERY_LINE_BUFFER);
            std::string line;
            while (nextLine(reader, line)) {
                const std::string file = packAirportFile(line, simulatorFolder);
                if (!file.empty()) processAirportFile(file);
            }
        }
        fclose(packs);
    }
    processAirportFile(simulatorFolder + "Resources/default scenery/default apt dat/Earth nav data/apt.dat");
    dumpAirports();
    sLogMsg("Refreshed airports.dat in %d seconds", static_cast<int>((getElapsedMilliSeconds() - start) / 1000));
}

void loadAirports() {
    cAirport::removeAllAirports();
    if (gSettings.refreshFacilitesOnStart || hasCustomSceneryChanges()) {
        readAirports();
        return;
    }
    switch (readAirportCache(makePluginFileName("airports.dat"))) {
        case AirportCacheResult::MISSING:
        case AirportCacheResult::OUTDATED:
            readAirports();
            break;
        case AirportCacheResult::LOADED:
        case AirportCacheResult::DAMAGED:
            break;
    }
}
