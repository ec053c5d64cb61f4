// The chatter clip library: the recorded clips found beside the plug-in, filed
// by controller, grouped in collections (regions, the user's folders,
// countries, airports), the user's choice of collections and the clips
// currently eligible for play.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "Controllers.h"

// One audio file. The two texts belong to the library's master list; every
// copy of a clip shares them, so copies are cheap and a default clip has none.
struct Clip {
    std::string* m_pPath = nullptr;
    std::string* m_pFileName = nullptr;
    Controllers controller = CONTROLLER_CLR;

    std::string getFileName() const { return m_pFileName ? *m_pFileName : std::string(); }
};

struct ClipSet {
    std::vector<Clip> m_Clips;
    int currentClipIndex = 0;  // the next clip to hand out
};

// One collection: a clip list per controller.
struct ControllerSet {
    bool selected = false;
    ClipSet m_Controllers[MAX_CONTROLLERS];

    int getTotalClipCount() const;
};

// One collection type: its collections by name.
struct ClipCollections {
    bool selected = false;
    std::map<std::string, ControllerSet> m_ControllerSets;

    int getTotalClipCount() const;
};

struct ClipCollectionTypes {
    std::map<std::string, ClipCollections> m_ClipCollections;
};

struct ClipTag {
    std::string country;
    std::string icao;  // airport ident
};

class ClipManager {
public:
    ClipManager() = default;
    ~ClipManager();
    ClipManager(const ClipManager&) = delete;
    ClipManager& operator=(const ClipManager&) = delete;

    // Scans the region folders, then the user's folders; once, at start.
    void getChatterFiles();
    void getUserDefinedChatterFiles();
    // Regenerates Regions/ClipTags.csv from its sources when they are present.
    void generateTags();
    // Reads the tag table and builds the "Countries" and "ICAO" types; needs
    // the airports and the ident-to-country table.
    void tagClips();
    void loadClipSelections();
    void saveClipSelections();
    // Rebuilds the clips eligible for play from the selection flags.
    void buildWorkingSet();
    // The next clip for the controller, or a default clip (null path) when
    // none is eligible or a rebuild is under way. Never blocks; safe on the
    // chatter thread.
    Clip getNextClip(Controllers controller);
    // The number of clips eligible for play, over all controllers; for the
    // chatter thread's test before it asks for a clip.
    int getWorkingClipCount();

    std::atomic<bool> busy{false};  // true while the working set is rebuilt
    ClipSet m_allClips;             // every clip, in scan order; owns the clip texts
    ClipCollectionTypes m_ClipsCollectionTypes;
    ControllerSet m_WorkingControllerSet;
    std::map<std::string, ClipTag> clipsTags;

private:
    void freeClips();
    // The tag key of a clip: its path below the Regions folder, with backslashes.
    std::string tagKey(const Clip& clip) const;

    std::mutex m_WorkingLock;  // held by a rebuild and by every reader of the working lists
};

ClipManager& getClipManager();

// Type names, in the order in which they are visited.
extern const char* const CLIP_TYPE_COUNTRIES;
extern const char* const CLIP_TYPE_ICAO;
extern const char* const CLIP_TYPE_REGIONS;
extern const char* const CLIP_TYPE_USER_DEFINED;
