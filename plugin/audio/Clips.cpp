#include "audio/Clips.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <new>

#include "common/Common.h"
#include "host/XplmUtilities.h"
#include "nav/Regions.h"

const char* const CLIP_TYPE_COUNTRIES = "Countries";
const char* const CLIP_TYPE_ICAO = "ICAO";
const char* const CLIP_TYPE_REGIONS = "Regions";
const char* const CLIP_TYPE_USER_DEFINED = "User Defined";

namespace {

constexpr int MAX_FOLDER_ENTRIES = 20000;
constexpr int FOLDER_NAME_BUFFER_SIZE = 40000000;

// The host's folder listing, with one name buffer for all the folders of a scan.
class FolderListing {
public:
    FolderListing()
        : m_Names(new (std::nothrow) char[FOLDER_NAME_BUFFER_SIZE]),
          m_Index(new (std::nothrow) char*[MAX_FOLDER_ENTRIES]) {
        if (!m_Names || !m_Index) logMsg("ERROR: unable to allocate memory to list the clip folders");
    }

    // The entry names of a folder in listing order, without "." and ".."; none for a missing folder.
    std::vector<std::string> list(const std::string& folder) {
        std::vector<std::string> names;
        if (!m_Names || !m_Index) return names;
        int total = 0;
        int returned = 0;
        XPLMGetDirectoryContents(folder.c_str(), 0, m_Names.get(), FOLDER_NAME_BUFFER_SIZE, m_Index.get(),
                                 MAX_FOLDER_ENTRIES, &total, &returned);
        for (int i = 0; i < std::min(returned, MAX_FOLDER_ENTRIES); ++i) {
            const std::string name = m_Index[i];
            if (name != "." && name != "..") names.push_back(name);
        }
        return names;
    }

private:
    std::unique_ptr<char[]> m_Names;
    std::unique_ptr<char*[]> m_Index;
};

bool isClipFileName(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    return name.find(".WAV") != std::string::npos || name.find(".MP3") != std::string::npos;
}

// Files each clip of the collection's ten controller folders below `folder`
// (folder/Controllers/CONTROLLER/) into `set` and the master list; returns the count.
int scanControllerFolders(const std::string& folder, ControllerSet& set, ClipSet& allClips, FolderListing& listing) {
    int count = 0;
    for (int controller = 0; controller < MAX_CONTROLLERS; ++controller) {
        const std::string controllerFolder = folder + "/Controllers/" + controllerNames[controller];
        std::vector<std::string> names = listing.list(controllerFolder);
        if (names.size() > 1)
            std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
                return strcasecmp(a.c_str(), b.c_str()) < 0;
            });
        for (const std::string& name : names) {
            if (!isClipFileName(name)) {
                sLogMsg("Unexpected File: %s found in %s", name.c_str(), controllerFolder.c_str());
                continue;
            }
            Clip clip;
            clip.m_pPath = new std::string(controllerFolder + "/" + name);
            clip.m_pFileName = new std::string(name);
            clip.controller = static_cast<Controllers>(controller);
            allClips.m_Clips.push_back(clip);
            set.m_Controllers[controller].m_Clips.push_back(clip);
            ++count;
        }
    }
    return count;
}

}  // namespace

int ControllerSet::getTotalClipCount() const {
    int total = 0;
    for (const ClipSet& clips : m_Controllers) total += static_cast<int>(clips.m_Clips.size());
    return total;
}

int ClipCollections::getTotalClipCount() const {
    int total = 0;
    for (const auto& entry : m_ControllerSets) total += entry.second.getTotalClipCount();
    return total;
}

ClipManager::~ClipManager() { freeClips(); }

void ClipManager::freeClips() {
    std::lock_guard<std::mutex> lock(m_WorkingLock);
    for (ClipSet& clips : m_WorkingControllerSet.m_Controllers) clips = ClipSet();
    for (Clip& clip : m_allClips.m_Clips) {
        delete clip.m_pPath;
        delete clip.m_pFileName;
    }
    m_allClips = ClipSet();
}

void ClipManager::getChatterFiles() {
    freeClips();
    m_ClipsCollectionTypes = ClipCollectionTypes();
    const std::string regionsFolder = makePluginFileName("Regions/");
    int count = 0;
    {
        FolderListing listing;
        ClipCollections regions;
        for (const char* region : regionNames) {
            ControllerSet set;
            count += scanControllerFolders(regionsFolder + region, set, m_allClips, listing);
            regions.m_ControllerSets[region] = std::move(set);
        }
        regions.selected = true;
        m_ClipsCollectionTypes.m_ClipCollections[CLIP_TYPE_REGIONS] = std::move(regions);
    }
    sLogMsg("Found %d Region Clips", count);
    getUserDefinedChatterFiles();
}

void ClipManager::getUserDefinedChatterFiles() {
    const std::string userFolder = makePluginFileName("UserDefined/");
    FolderListing listing;
    const std::vector<std::string> entries = listing.list(userFolder);
    ClipCollections userDefined;
    int count = 0;
    for (const std::string& entry : entries) {
        ControllerSet set;
        count += scanControllerFolders(userFolder + entry, set, m_allClips, listing);
        userDefined.m_ControllerSets[entry] = std::move(set);
    }
    m_ClipsCollectionTypes.m_ClipCollections[CLIP_TYPE_USER_DEFINED] = std::move(userDefined);
    sLogMsg("Found %d User Defined Clips in %d Folders", count, static_cast<int>(entries.size()));
}

void ClipManager::buildWorkingSet() {
    std::lock_guard<std::mutex> lock(m_WorkingLock);
    busy = true;
    for (ClipSet& clips : m_WorkingControllerSet.m_Controllers) clips = ClipSet();
    for (const auto& type : m_ClipsCollectionTypes.m_ClipCollections) {
        if (!type.second.selected) continue;
        for (const auto& collection : type.second.m_ControllerSets) {
            const ControllerSet& set = collection.second;
            if (!set.selected || set.getTotalClipCount() == 0) continue;
            for (int controller = 0; controller < MAX_CONTROLLERS; ++controller) {
                auto& working = m_WorkingControllerSet.m_Controllers[controller].m_Clips;
                const auto& clips = set.m_Controllers[controller].m_Clips;
                working.insert(working.end(), clips.begin(), clips.end());
            }
        }
    }
    for (ClipSet& clips : m_WorkingControllerSet.m_Controllers) {
        const int size = static_cast<int>(clips.m_Clips.size());
        clips.currentClipIndex = size < 4 ? 0 : getUniformRandomNumber(0, size - 1);
    }
    busy = false;
}

Clip ClipManager::getNextClip(Controllers controller) {
    if (busy || controller < 0 || controller >= MAX_CONTROLLERS) return Clip();
    std::unique_lock<std::mutex> lock(m_WorkingLock, std::try_to_lock);
    if (!lock.owns_lock() || busy) return Clip();
    ClipSet& clips = m_WorkingControllerSet.m_Controllers[controller];
    const int size = static_cast<int>(clips.m_Clips.size());
    if (size == 0) return Clip();
    const int index = clips.currentClipIndex < size ? clips.currentClipIndex : 0;
    clips.currentClipIndex = index + 1 < size ? index + 1 : 0;
    return clips.m_Clips[index];
}

int ClipManager::getWorkingClipCount() {
    std::lock_guard<std::mutex> lock(m_WorkingLock);
    return m_WorkingControllerSet.getTotalClipCount();
}

std::string ClipManager::tagKey(const Clip& clip) const {
    if (!clip.m_pPath) return std::string();
    const std::string& path = *clip.m_pPath;
    // Searched below the plug-in folder, so that a "Regions" in the folders
    // above it does not hide every tag.
    const std::string pluginFolder = getPluginPathString();
    const size_t from = path.compare(0, pluginFolder.size(), pluginFolder) == 0 ? pluginFolder.size() : 0;
    const size_t found = path.find(CLIP_TYPE_REGIONS, from);
    if (found == std::string::npos || found + 8 > path.size()) return std::string();
    std::string key = path.substr(found + 8);
    std::replace(key.begin(), key.end(), '/', '\\');
    return key;
}

ClipManager& getClipManager() {
    static ClipManager clipManager;
    return clipManager;
}
