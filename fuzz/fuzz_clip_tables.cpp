// The clip library's CSV tables as a damaged disk or a careless editor leaves
// them: the tag export, the facility names, the tag table and the selections,
// any bytes at all, separated by NUL bytes (a missing part is a missing file).
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "FuzzHost.h"
#include "audio/Clips.h"

namespace {

const char* const kTables[] = {"Regions/mp3tag.csv", "Regions/default_geo.csv", "Regions/ClipTags.csv",
                               "ClipSelections.csv"};

void writeFile(const std::string& path, const std::string& content) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// The library, scanned once: its three clips stay, the collections built
// from the tables are reset for every input.
struct Library {
    std::string plugin;
    ClipManager clips;
    ClipCollectionTypes scanned;

    Library() : plugin(fuzzPluginFolder()) {
        writeFile(plugin + "Regions/Canada/Controllers/App/CYUL_App_1.mp3", "");
        writeFile(plugin + "Regions/United States/Controllers/Clr/KBOS_Clr_1.wav", "");
        writeFile(plugin + "UserDefined/Mine/Controllers/Ctr/mine.mp3", "");
        clips.getChatterFiles();
        scanned = clips.m_ClipsCollectionTypes;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Library library;
    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    for (const char* table : kTables) {
        if (start > input.size()) {
            std::filesystem::remove(library.plugin + table);
            continue;
        }
        size_t end = input.find('\0', start);
        if (end == std::string::npos) end = input.size();
        writeFile(library.plugin + table, input.substr(start, end - start));
        start = end + 1;
    }

    ClipManager& clips = library.clips;
    clips.m_ClipsCollectionTypes = library.scanned;
    clips.tagClips();
    clips.loadClipSelections();

    std::set<const std::string*> known;
    for (const Clip& clip : clips.m_allClips.m_Clips) known.insert(clip.m_pPath);
    for (int controller = 0; controller < MAX_CONTROLLERS; ++controller) {
        const Clip clip = clips.getNextClip(static_cast<Controllers>(controller));
        if (clip.m_pPath && !known.count(clip.m_pPath)) __builtin_trap();
    }
    // Each clip at most once per type: two region clips, one user clip, two countries, two idents.
    if (clips.getWorkingClipCount() > 7) __builtin_trap();
    return 0;
}
