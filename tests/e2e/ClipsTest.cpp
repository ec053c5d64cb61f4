// The shipped demo chatter collection and what the plug-in makes of it at start.
#include <map>

#include "SimRun.h"

namespace {

const char* kControllers[] = {"Clr", "Dep_Gnd", "Dep_Twr", "Dep", "Ctr", "App", "Dest_Twr", "Dest_Gnd", "Dep_Uni",
                              "Dest_Uni"};

TEST(DemoClips, ThePluginFolderHoldsASmallCollectionInBothFormats) {
    const std::string plugin = std::string(PLUGIN_DIR) + "/";
    std::map<std::string, int> formats;
    uintmax_t bytes = 0;
    for (const char* region : {"United States", "Canada"}) {
        for (const char* controller : kControllers) {
            const std::string folder = plugin + "Regions/" + region + "/Controllers/" + controller;
            int clips = 0;
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                ++clips;
                ++formats[entry.path().extension().string()];
            }
            EXPECT_GE(clips, 3) << folder;
            EXPECT_LE(clips, 6) << folder;
        }
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(plugin))
        if (entry.is_regular_file() && entry.path().parent_path().filename() != "lin_x64") bytes += entry.file_size();
    EXPECT_LT(bytes, 5u << 20);
    EXPECT_GT(formats[".mp3"], formats[".wav"]);
    EXPECT_GT(formats[".wav"], 0);
    for (const char* file : {"Regions/mp3tag.csv", "Regions/default_geo.csv", "IdentToCountry.csv", "RegionMap.txt"})
        EXPECT_TRUE(std::filesystem::exists(plugin + file)) << file;
    EXPECT_FALSE(std::filesystem::is_empty(plugin + "UserDefined"));
}

TEST(DemoClips, StartFindsTagsAndTheRegionFollowsTheAircraft) {
    SimRun run;
    run.installWorld();
    std::ofstream(run.plugin + "Quillon.ini") << "AUTO_SELECT_REGION_AND_COUNTRY 1\n";
    EXPECT_EQ(run.run(R"(end 1.0
expect-log "Found [1-9][0-9]* Region Clips"
expect-log "Found [1-9][0-9]* User Defined Clips in 1 Folders"
expect-log "Found [1-9][0-9]* Clip Tags"
expect-log-order "Found [0-9]+ Region Clips" "Found [0-9]+ Clip Tags" "Initialization complete"
expect-no-log "Unexpected File|ERROR|WARNING|Unable to open|Creating Default"
)"),
              0)
        << run.stdoutText << run.log();
    // The aircraft stands in New England: the region check selected the
    // United States, which the stop sequence saved.
    const std::string selections = SimRun::readFile(run.plugin + "ClipSelections.csv");
    EXPECT_NE(selections.find("\nRegions,,true\nRegions,Africa,false\n"), std::string::npos) << selections;
    EXPECT_NE(selections.find("\nRegions,United States,true\n"), std::string::npos) << selections;
    EXPECT_NE(selections.find("\nCountries,Canada,false\n"), std::string::npos) << selections;
    EXPECT_NE(selections.find("\nICAO,KBOS,false\n"), std::string::npos) << selections;
    EXPECT_NE(selections.find("\nUser Defined,Norwood Flight School,false\n"), std::string::npos) << selections;
    const std::string tags = SimRun::readFile(run.plugin + "Regions/ClipTags.csv");
    EXPECT_NE(tags.find("\nUnited States\\Controllers\\Clr\\KBOS_Clr_1.mp3,United States,KBOS,"), std::string::npos)
        << tags;
    EXPECT_NE(tags.find("\nEurope\\Controllers\\Dep_Twr\\EGKK_Dep_Twr_1.mp3,United Kingdom,EGKK,"), std::string::npos)
        << tags;
}

}  // namespace
