// The user's choice of clip collections, kept in ClipSelections.csv.
#include <strings.h>

#include "audio/Clips.h"
#include "common/Common.h"
#include "common/Csv.h"
#include "common/Files.h"

namespace {

const char* flagText(bool flag) { return flag ? "true" : "false"; }

}  // namespace

void ClipManager::loadClipSelections() {
    const std::string path = makePluginFileName("ClipSelections.csv");
    if (!fileExists(path)) return;
    CsvTable table;
    readCsvFile(path, ',', {"Type", "Collection", "Selected"}, table);  // a damaged file leaves no row
    auto& types = m_ClipsCollectionTypes.m_ClipCollections;
    for (const auto& row : table.rows) {
        auto type = types.find(row[0]);
        if (type == types.end()) continue;
        const bool selected = strcasecmp(row[2].c_str(), "true") == 0;
        if (row[1].empty()) {
            type->second.selected = selected;
            continue;
        }
        auto collection = type->second.m_ControllerSets.find(row[1]);
        if (collection != type->second.m_ControllerSets.end()) collection->second.selected = selected;
    }
    buildWorkingSet();
}

void ClipManager::saveClipSelections() {
    std::string text = "Type,Collection,Selected\n";
    for (const auto& type : m_ClipsCollectionTypes.m_ClipCollections) {
        text += type.first + ",," + flagText(type.second.selected) + "\n";
        for (const auto& collection : type.second.m_ControllerSets)
            text += type.first + "," + collection.first + "," + flagText(collection.second.selected) + "\n";
    }
    const std::string path = makePluginFileName("ClipSelections.csv");
    if (!writeFileAtomically(path, text)) sLogMsg("ERROR: unable to create %s", path.c_str());
}
