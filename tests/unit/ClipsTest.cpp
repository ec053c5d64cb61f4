#include <set>
#include <thread>

#include "ClipFixture.h"
#include "nav/Regions.h"

namespace {

TEST_F(ClipTest, ScanFilesClipsByRegionAndControllerInCaseInsensitiveOrder) {
    addClips("Regions/United States", "Dep_Twr", {"b.mp3", "A.wav", "c.MP3", "CALL.MP3.OLD", "call.ogg"});
    addClips("Regions/Canada", "Clr", {"z.wav"});
    addClips("Regions/Canada", "Dest_Uni", {"y.mp3"});
    addClips("UserDefined/Mine", "App", {"u2.mp3", "U1.mp3"});
    writePluginFile("UserDefined/readme.txt", "a plain file");

    clips->getChatterFiles();

    ClipCollections& regions = type("Regions");
    EXPECT_TRUE(regions.selected);
    ASSERT_EQ(regions.m_ControllerSets.size(), 8u);
    for (const char* region : regionNames) {
        ASSERT_EQ(regions.m_ControllerSets.count(region), 1u) << region;
        EXPECT_FALSE(regions.m_ControllerSets[region].selected);
    }
    EXPECT_EQ(regions.m_ControllerSets["Africa"].getTotalClipCount(), 0);
    const ControllerSet& us = regions.m_ControllerSets["United States"];
    EXPECT_EQ(names(us.m_Controllers[CONTROLLER_DEP_TWR]),
              (std::vector<std::string>{"A.wav", "b.mp3", "c.MP3", "CALL.MP3.OLD"}));
    const Clip& first = us.m_Controllers[CONTROLLER_DEP_TWR].m_Clips[0];
    EXPECT_EQ(*first.m_pPath, pluginFolder + "Regions/United States/Controllers/Dep_Twr/A.wav");
    EXPECT_EQ(first.controller, CONTROLLER_DEP_TWR);

    // Scan order: regions in enumeration order (Canada before United States), then user folders.
    EXPECT_EQ(names(clips->m_allClips), (std::vector<std::string>{"z.wav", "y.mp3", "A.wav", "b.mp3", "c.MP3",
                                                                  "CALL.MP3.OLD", "U1.mp3", "u2.mp3"}));
    EXPECT_EQ(clips->m_allClips.m_Clips[1].controller, CONTROLLER_DEST_UNI);
    // Copies share the master list's texts.
    EXPECT_EQ(first.m_pPath, clips->m_allClips.m_Clips[2].m_pPath);

    ClipCollections& user = type("User Defined");
    EXPECT_FALSE(user.selected);
    EXPECT_EQ(user.m_ControllerSets["Mine"].getTotalClipCount(), 2);
    EXPECT_EQ(user.m_ControllerSets["readme.txt"].getTotalClipCount(), 0);
    EXPECT_EQ(user.getTotalClipCount(), 2);

    EXPECT_TRUE(logged("Unexpected File: call.ogg found in " + pluginFolder +
                       "Regions/United States/Controllers/Dep_Twr"));
    EXPECT_TRUE(logged("Found 6 Region Clips"));
    EXPECT_TRUE(logged("Found 2 User Defined Clips in 2 Folders"));
}

TEST_F(ClipTest, MissingFoldersGiveEmptyCollectionsAndNoMessages) {
    clips->getChatterFiles();
    EXPECT_EQ(type("Regions").m_ControllerSets.size(), 8u);
    EXPECT_TRUE(type("User Defined").m_ControllerSets.empty());
    EXPECT_EQ(logMessages(),
              (std::vector<std::string>{"Found 0 Region Clips", "Found 0 User Defined Clips in 0 Folders"}));
    // Nothing selected: nothing to play.
    clips->buildWorkingSet();
    EXPECT_EQ(clips->getNextClip(CONTROLLER_APP).m_pPath, nullptr);
    EXPECT_EQ(clips->getNextClip(CONTROLLER_APP).getFileName(), "");
}

TEST_F(ClipTest, SelectionsAreWrittenExactlyAndReadBack) {
    addClips("Regions/Europe", "Ctr", {"e.mp3"});
    addClips("UserDefined/Zulu", "Ctr", {"z.mp3"});
    addClips("UserDefined/Alpha", "Ctr", {"a.mp3"});
    clips->getChatterFiles();
    collection("Regions", "Europe").selected = true;
    type("User Defined").selected = true;
    collection("User Defined", "Alpha").selected = true;

    clips->saveClipSelections();
    // Types and collections in byte order ("Custom" before "Europe"), every one of them, unquoted.
    EXPECT_EQ(readPluginFile("ClipSelections.csv"),
              "Type,Collection,Selected\n"
              "Regions,,true\n"
              "Regions,Africa,false\nRegions,Asia,false\nRegions,Canada,false\nRegions,Custom,false\n"
              "Regions,Europe,true\nRegions,Oceania,false\nRegions,South America,false\n"
              "Regions,United States,false\n"
              "User Defined,,true\n"
              "User Defined,Alpha,true\nUser Defined,Zulu,false\n");
    EXPECT_FALSE(std::filesystem::exists(pluginFolder + "ClipSelections.csv.tmp"));

    auto reread = std::make_unique<ClipManager>();
    reread->getChatterFiles();
    reread->loadClipSelections();
    auto& types = reread->m_ClipsCollectionTypes.m_ClipCollections;
    EXPECT_TRUE(types["Regions"].selected);
    EXPECT_TRUE(types["Regions"].m_ControllerSets["Europe"].selected);
    EXPECT_FALSE(types["Regions"].m_ControllerSets["Asia"].selected);
    EXPECT_TRUE(types["User Defined"].selected);
    EXPECT_TRUE(types["User Defined"].m_ControllerSets["Alpha"].selected);
    EXPECT_FALSE(types["User Defined"].m_ControllerSets["Zulu"].selected);
    // Loading rebuilt the working set: Europe's clip, then Alpha's.
    EXPECT_EQ(names(reread->m_WorkingControllerSet.m_Controllers[CONTROLLER_CTR]),
              (std::vector<std::string>{"e.mp3", "a.mp3"}));
}

TEST_F(ClipTest, SelectionLinesForUnknownTypesOrCollectionsAreIgnored) {
    addClips("Regions/Europe", "Ctr", {"e.mp3"});
    addClips("UserDefined/My, Folder", "Ctr", {"m.mp3"});
    addClips("UserDefined/Other", "Ctr", {"o.mp3"});
    clips->getChatterFiles();
    writePluginFile("ClipSelections.csv",
                    "Type,Collection,Selected\n"
                    "Regions,,false\n"           // deselects the type
                    "Regions,Europe,TRUE\n"      // any case
                    "Regions,Atlantis,true\n"    // no such collection
                    "Airlines,,true\n"           // no such type
                    "Countries,France,true\n"    // type not created without tags
                    "User Defined,,yes\n"        // anything but true is false
                    "User Defined,My, Folder,true\n"  // a comma in the name: the line does not split right
                    "User Defined,Other,true\n");
    type("User Defined").selected = true;
    clips->loadClipSelections();
    EXPECT_FALSE(type("Regions").selected);
    EXPECT_TRUE(collection("Regions", "Europe").selected);
    EXPECT_EQ(type("Regions").m_ControllerSets.count("Atlantis"), 0u);
    EXPECT_EQ(clips->m_ClipsCollectionTypes.m_ClipCollections.count("Airlines"), 0u);
    EXPECT_EQ(clips->m_ClipsCollectionTypes.m_ClipCollections.count("Countries"), 0u);
    EXPECT_FALSE(type("User Defined").selected);
    EXPECT_FALSE(collection("User Defined", "My, Folder").selected);
    EXPECT_TRUE(collection("User Defined", "Other").selected);
    EXPECT_TRUE(loggedStart("WARNING: 1 damaged lines skipped in " + pluginFolder +
                            "ClipSelections.csv (first at line 8: Too many columns"))
        << ::testing::PrintToString(logMessages());

    // The vanished collection and the type that does not exist are gone at the next save.
    clips->saveClipSelections();
    const std::string saved = readPluginFile("ClipSelections.csv");
    EXPECT_EQ(saved.find("Atlantis"), std::string::npos);
    EXPECT_EQ(saved.find("Airlines"), std::string::npos);
    EXPECT_NE(saved.find("User Defined,My, Folder,false\n"), std::string::npos);
}

TEST_F(ClipTest, WithoutASelectionFileTheFlagsStayAndNothingIsRebuilt) {
    addClips("Regions/Europe", "Ctr", {"e.mp3"});
    clips->getChatterFiles();
    collection("Regions", "Europe").selected = true;
    clips->loadClipSelections();
    EXPECT_TRUE(type("Regions").selected);
    EXPECT_TRUE(collection("Regions", "Europe").selected);
    EXPECT_EQ(clips->getWorkingClipCount(), 0);
}

TEST_F(ClipTest, DamagedSelectionFilesChangeNoFlagButRebuild) {
    addClips("Regions/Europe", "Ctr", {"e.mp3"});
    clips->getChatterFiles();
    collection("Regions", "Europe").selected = true;
    const std::string path = pluginFolder + "ClipSelections.csv";
    const std::string unreadable = "ERROR: unable to read " + path + ": ";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", unreadable + "Header missing"},
        {"Type;Collection;Selected\nRegions;;false\n", unreadable + "Missing column \"Type\""},
        {"Type,Collection\nRegions,\n", unreadable + "Missing column \"Selected\""},
        {"Type,Collection,Selected\n\"Regions,,false\nRegions,Europe\n",
         "WARNING: 2 damaged lines skipped in " + path + " (first at line 2: Escaped string was not closed"},
    };
    for (const auto& [text, message] : cases) {
        sim::Sim::get().log.clear();
        writePluginFile("ClipSelections.csv", text);
        clips->loadClipSelections();
        EXPECT_TRUE(type("Regions").selected) << text;
        EXPECT_TRUE(collection("Regions", "Europe").selected) << text;
        EXPECT_EQ(clips->getWorkingClipCount(), 1) << text;
        EXPECT_TRUE(loggedStart(message)) << text << ::testing::PrintToString(logMessages());
    }
}

TEST_F(ClipTest, WorkingSetFollowsTypeAndNameOrderAndKeepsDuplicates) {
    addClips("Regions/United States", "App", {"us1.mp3", "us2.mp3"});
    addClips("Regions/Canada", "App", {"ca1.mp3"});
    addClips("Regions/Europe", "App", {"eu1.mp3"});
    addClips("UserDefined/B", "App", {"b1.mp3"});
    addClips("UserDefined/A", "Clr", {"a1.mp3"});
    clips->getChatterFiles();
    collection("Regions", "United States").selected = true;
    collection("Regions", "Canada").selected = true;
    type("User Defined").selected = true;
    collection("User Defined", "A").selected = true;
    collection("User Defined", "B").selected = true;
    // A country type that holds a clip that the regions hold too.
    ClipCollections& countries = type("Countries");
    countries.selected = true;
    countries.m_ControllerSets["Canada"].selected = true;
    countries.m_ControllerSets["Canada"].m_Controllers[CONTROLLER_APP].m_Clips.push_back(
        collection("Regions", "Canada").m_Controllers[CONTROLLER_APP].m_Clips[0]);
    // Selected but of an unselected type.
    type("ICAO").m_ControllerSets["CYUL"].selected = true;
    type("ICAO").m_ControllerSets["CYUL"].m_Controllers[CONTROLLER_APP].m_Clips.push_back(
        collection("Regions", "Europe").m_Controllers[CONTROLLER_APP].m_Clips[0]);

    clips->buildWorkingSet();
    EXPECT_EQ(names(clips->m_WorkingControllerSet.m_Controllers[CONTROLLER_APP]),
              (std::vector<std::string>{"ca1.mp3", "ca1.mp3", "us1.mp3", "us2.mp3", "b1.mp3"}));
    EXPECT_EQ(names(clips->m_WorkingControllerSet.m_Controllers[CONTROLLER_CLR]), (std::vector<std::string>{"a1.mp3"}));
    EXPECT_EQ(clips->getWorkingClipCount(), 6);
    EXPECT_FALSE(clips->busy);
}

TEST_F(ClipTest, RotationStartsAtTheFirstClipBelowFourAndAnywhereFromFour) {
    addClips("Regions/United States", "Twr", {});
    addClips("Regions/United States", "Dep_Twr", {"1.mp3", "2.mp3", "3.mp3"});
    addClips("Regions/Canada", "Dep_Twr", {"4.mp3", "5.mp3", "6.mp3", "7.mp3"});
    clips->getChatterFiles();
    type("Regions").selected = true;
    collection("Regions", "United States").selected = true;
    clips->buildWorkingSet();
    std::vector<std::string> played;
    for (int i = 0; i < 7; ++i) played.push_back(clips->getNextClip(CONTROLLER_DEP_TWR).getFileName());
    EXPECT_EQ(played, (std::vector<std::string>{"1.mp3", "2.mp3", "3.mp3", "1.mp3", "2.mp3", "3.mp3", "1.mp3"}));
    EXPECT_EQ(clips->getNextClip(CONTROLLER_CLR).m_pPath, nullptr);

    collection("Regions", "Canada").selected = true;  // 7 clips: Canada's, then the United States'
    const std::vector<std::string> list = {"4.mp3", "5.mp3", "6.mp3", "7.mp3", "1.mp3", "2.mp3", "3.mp3"};
    std::set<std::string> firsts;
    for (int attempt = 0; attempt < 60 && firsts.size() < 3; ++attempt) {
        clips->buildWorkingSet();
        const std::string first = clips->getNextClip(CONTROLLER_DEP_TWR).getFileName();
        firsts.insert(first);
        size_t at = std::find(list.begin(), list.end(), first) - list.begin();
        ASSERT_LT(at, list.size());
        for (size_t step = 1; step <= list.size(); ++step)
            EXPECT_EQ(clips->getNextClip(CONTROLLER_DEP_TWR).getFileName(), list[(at + step) % list.size()]);
    }
    EXPECT_GE(firsts.size(), 3u) << "the start should be drawn at random";
}

TEST_F(ClipTest, QueriesDuringARebuildGetTheDefaultClip) {
    addClips("Regions/Europe", "Ctr", {"e.mp3"});
    clips->getChatterFiles();
    collection("Regions", "Europe").selected = true;
    clips->buildWorkingSet();
    clips->busy = true;
    EXPECT_EQ(clips->getNextClip(CONTROLLER_CTR).m_pPath, nullptr);
    clips->busy = false;
    EXPECT_EQ(clips->getNextClip(CONTROLLER_CTR).getFileName(), "e.mp3");
    EXPECT_EQ(clips->getNextClip(static_cast<Controllers>(MAX_CONTROLLERS)).m_pPath, nullptr);

    // The chatter thread asking while the simulator thread rebuilds: every
    // answer is either nothing or a whole clip of the list.
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::thread chatter([&] {
        while (!stop) {
            Clip clip = clips->getNextClip(CONTROLLER_CTR);
            if (clip.m_pPath && *clip.m_pFileName != "e.mp3") ++wrong;
        }
    });
    for (int i = 0; i < 2000; ++i) clips->buildWorkingSet();
    stop = true;
    chatter.join();
    EXPECT_EQ(wrong, 0);
}

}  // namespace
