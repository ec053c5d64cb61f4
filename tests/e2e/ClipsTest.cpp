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

// An airport load makes the next frame check the region: flown to Montreal,
// the aircraft gets the Canadian clips at once instead of a minute later.
TEST(DemoClips, AnAirportLoadChecksTheRegionAtTheNextFrame) {
    SimRun run;
    run.installWorld();
    const std::string pack = run.sim + "Custom Scenery/Montreal/Earth nav data/apt.dat";
    std::filesystem::create_directories(std::filesystem::path(pack).parent_path());
    std::ofstream(pack) << "I\n1200 Version - a Canadian airport\n\n"
                           "1 118 1 0 CYUL Montreal Trudeau Intl\n"
                           "1302 datum_lat 45.470556\n1302 datum_lon -73.740833\n1302 icao_code CYUL\n99\n";
    std::ofstream(run.sim + "Custom Scenery/scenery_packs.ini", std::ios::app) << "SCENERY_PACK Custom Scenery/Montreal/\n";
    std::ofstream(run.plugin + "Quillon.ini") << "AUTO_SELECT_REGION_AND_COUNTRY 1\n";
    EXPECT_EQ(run.run(R"(end 1.5
at 0.5 set sim/flightmodel/position/latitude 45.47
at 0.5 set sim/flightmodel/position/longitude -73.74
at 1.0 message 103
)"),
              0)
        << run.stdoutText << run.log();
    const std::string selections = SimRun::readFile(run.plugin + "ClipSelections.csv");
    EXPECT_NE(selections.find("\nRegions,Canada,true\n"), std::string::npos) << selections;
    EXPECT_NE(selections.find("\nRegions,United States,false\n"), std::string::npos) << selections;
}

}  // namespace
