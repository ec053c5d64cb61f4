#include "ClipFixture.h"
#include "nav/Airport.h"
#include "nav/RegionMap.h"

namespace {

class ClipTagsTest : public ClipTest {
protected:
    void SetUp() override {
        ClipTest::SetUp();
        RegionMapManager::removeInstance();
        cAirport::removeAllAirports();
        addAirport("KBOS", "Airport Country");  // IdentToCountry.csv names it
        addAirport("CYUL", "Canada");           // IdentToCountry.csv does not
        writePluginFile("IdentToCountry.csv", "ICAO,Country\nKBOS,United States\n");
    }
    void TearDown() override {
        RegionMapManager::removeInstance();
        cAirport::removeAllAirports();
    }

    static void addAirport(const char* ident, const char* country) {
        cAirport airport;
        airport.icaoCode = ident;
        airport.country = country;
        cAirport::addAirport(airport, true);
    }

    static std::string tagRow(const std::string& artist, const std::string& folder, const std::string& file) {
        return "A title*" + artist + "*An album*" + folder + "*" + file + "\n";
    }
};

const char* kHeader = "Title*Artist*Album*Path*Filename\n";
const char* kUsTower = "C:\\Chatter\\Regions\\United States\\Controllers\\Dep_Twr\\";
const char* kEuropeCenter = "D:\\Clips\\Regions\\Europe\\Controllers\\Ctr\\";
const char* kCanadaApproach = "C:\\Chatter\\Regions\\Canada\\Controllers\\App\\";

TEST_F(ClipTagsTest, TagsFollowTheAirportTheKeyAndTheFacilityNames) {
    writePluginFile("Regions/mp3tag.csv",
                    std::string(kHeader) +
                        tagRow("KBOS Boston Tower", kUsTower, "bos.mp3") +            // ident table before airport
                        tagRow("CYULXY Montreal Centre", kEuropeCenter, "yul.mp3") +  // cut to 4, airport's country
                        tagRow("ZBW Boston, Center", kUsTower, "zbw.mp3") +           // 3 letters: key's country
                        tagRow("CYYZ Toronto Arrival", kCanadaApproach, "yyz.wav") +  // unknown airport: key
                        tagRow("EGLL Heathrow London Control", kEuropeCenter, "egll.mp3") +  // first matching row
                        tagRow("EINN Limerick", kEuropeCenter, "einn.mp3") +          // nothing matches
                        tagRow("", kEuropeCenter, "silent.mp3") +                     // no artist, no ident
                        tagRow("KBOS Boston Tower", "C:\\Chatter\\United States\\", "lost.mp3"));  // no \Regions\ .
    writePluginFile("Regions/default_geo.csv",
                    "Facility Name,Country\n"
                    ",Nowhere\n"
                    "London,England\n"
                    "Heathrow,United Kingdom\n");

    clips->generateTags();
    EXPECT_EQ(readPluginFile("Regions/ClipTags.csv"),
              "Path,Country,ICAO,Artist\n"
              "United States\\Controllers\\Dep_Twr\\bos.mp3,United States,KBOS,KBOS Boston Tower\n"
              "Europe\\Controllers\\Ctr\\yul.mp3,Canada,CYUL,CYULXY Montreal Centre\n"
              "United States\\Controllers\\Dep_Twr\\zbw.mp3,United States,ZBW,ZBW Boston  Center\n"
              "Canada\\Controllers\\App\\yyz.wav,Canada,CYYZ,CYYZ Toronto Arrival\n"
              "Europe\\Controllers\\Ctr\\egll.mp3,England,EGLL,EGLL Heathrow London Control\n"
              "Europe\\Controllers\\Ctr\\einn.mp3,,EINN,EINN Limerick\n"
              "Europe\\Controllers\\Ctr\\silent.mp3,,,\n");
    EXPECT_FALSE(std::filesystem::exists(pluginFolder + "Regions/ClipTags.csv.tmp"));
}

TEST_F(ClipTagsTest, TaggedClipsFormCountryAndAirportCollections) {
    addClips("Regions/United States", "Dep_Twr", {"bos.mp3", "zbw.mp3", "untagged.mp3"});
    addClips("Regions/Europe", "Ctr", {"yul.mp3", "einn.mp3"});
    addClips("Regions/Canada", "App", {"yyz.wav"});
    addClips("UserDefined/Mine", "Dep_Twr", {"bos.mp3"});
    writePluginFile("Regions/ClipTags.csv",
                    "Path,Country,ICAO,Artist\n"
                    "United States\\Controllers\\Dep_Twr\\bos.mp3,United States,KBOS,KBOS Boston Tower\n"
                    "United States\\Controllers\\Dep_Twr\\bos.mp3,Elsewhere,XXXX,the second row of a key\n"
                    "United States\\Controllers\\Dep_Twr\\zbw.mp3,United States,ZBW,ZBW Boston Center\n"
                    "Europe\\Controllers\\Ctr\\yul.mp3,Canada,CYUL,CYUL Montreal\n"
                    "Europe\\Controllers\\Ctr\\einn.mp3,,EINN,EINN Limerick\n"
                    "Canada\\Controllers\\App\\yyz.wav,Canada,,\n");
    clips->getChatterFiles();
    clips->tagClips();

    EXPECT_TRUE(logged("Found 5 Clip Tags")) << ::testing::PrintToString(logMessages());
    ClipCollections& countries = type("Countries");
    EXPECT_FALSE(countries.selected);
    ASSERT_EQ(countries.m_ControllerSets.size(), 2u);
    EXPECT_FALSE(countries.m_ControllerSets["Canada"].selected);
    EXPECT_EQ(names(countries.m_ControllerSets["Canada"].m_Controllers[CONTROLLER_APP]),
              (std::vector<std::string>{"yyz.wav"}));
    EXPECT_EQ(names(countries.m_ControllerSets["Canada"].m_Controllers[CONTROLLER_CTR]),
              (std::vector<std::string>{"yul.mp3"}));
    EXPECT_EQ(names(countries.m_ControllerSets["United States"].m_Controllers[CONTROLLER_DEP_TWR]),
              (std::vector<std::string>{"bos.mp3", "zbw.mp3"}));
    // The user's bos.mp3 is not below Regions and stays untagged.
    EXPECT_EQ(*countries.m_ControllerSets["United States"].m_Controllers[CONTROLLER_DEP_TWR].m_Clips[0].m_pPath,
              pluginFolder + "Regions/United States/Controllers/Dep_Twr/bos.mp3");

    ClipCollections& idents = type("ICAO");
    EXPECT_FALSE(idents.selected);
    std::vector<std::string> identNames;
    for (const auto& entry : idents.m_ControllerSets) identNames.push_back(entry.first);
    EXPECT_EQ(identNames, (std::vector<std::string>{"CYUL", "EINN", "KBOS", "ZBW"}));
    EXPECT_EQ(clips->clipsTags["United States\\Controllers\\Dep_Twr\\bos.mp3"].country, "United States");
}

TEST_F(ClipTagsTest, WithoutTheExportTheTagFileIsUsedUnchanged) {
    addClips("Regions/Canada", "App", {"yyz.wav"});
    const std::string tags = "Path,Country,ICAO,Artist\nCanada\\Controllers\\App\\yyz.wav,Canada,CYYZ,kept\n";
    writePluginFile("Regions/ClipTags.csv", tags);
    clips->getChatterFiles();
    clips->tagClips();
    EXPECT_EQ(readPluginFile("Regions/ClipTags.csv"), tags);
    EXPECT_EQ(type("Countries").getTotalClipCount(), 1);
    EXPECT_TRUE(logged("Found 1 Clip Tags"));
}

// This test's folders lie below one named after it, which holds "Regions".
TEST_F(ClipTagsTest, FoldersNamedRegionsAboveThePluginHideNoTag) {
    ASSERT_NE(pluginFolder.find("Regions"), std::string::npos);
    addClips("Regions/Canada", "App", {"yyz.wav"});
    writePluginFile("Regions/ClipTags.csv", "Path,Country,ICAO\nCanada\\Controllers\\App\\yyz.wav,Canada,CYYZ\n");
    clips->getChatterFiles();
    clips->tagClips();
    EXPECT_TRUE(logged("Found 1 Clip Tags"));
}

TEST_F(ClipTagsTest, MissingOrDamagedFilesAreLoggedAndLeaveNoCountries) {
    const std::string tagsPath = pluginFolder + "Regions/ClipTags.csv";
    const std::string geoPath = pluginFolder + "Regions/default_geo.csv";
    const std::string exportPath = pluginFolder + "Regions/mp3tag.csv";
    const std::string oldTags = "Path,Country,ICAO,Artist\nCanada\\Controllers\\App\\yyz.wav,Canada,CYYZ,old\n";
    const std::string goodExport = std::string(kHeader) + tagRow("CYYZ Toronto", kCanadaApproach, "yyz.wav");
    const std::string goodGeo = "Facility Name,Country\nLondon,England\n";
    struct Case {
        const char* what;
        std::string exportText, geoText, tagsText;  // "-" for a missing file
        std::string message;
        bool countries;  // whether the old tags still make a "Countries" type
    };
    const std::vector<Case> cases = {
        {"no tag file", "-", "-", "-", "ERROR: " + tagsPath + " is missing.", false},
        {"no facility names", goodExport, "-", "-",
         "ERROR: " + geoPath + " is missing. Unable to generate clip tags", false},
        {"export with commas", "Title,Artist,Path,Filename\nt,CYYZ,C:\\Regions\\Canada\\,a.mp3\n", goodGeo, oldTags,
         "ERROR: unable to read " + exportPath + ": Missing column \"Artist\"", true},
        {"export without Filename", "Artist*Path\nCYYZ*C:\\Regions\\Canada\\\n", goodGeo, oldTags,
         "ERROR: unable to read " + exportPath + ": Missing column \"Filename\"", true},
        {"empty facility names", goodExport, "", oldTags, "ERROR: unable to read " + geoPath + ": Header missing",
         true},
        {"empty tag file", "-", "-", "", "ERROR: unable to read " + tagsPath + ": Header missing", false},
        {"tag file with an open quote", "-", "-", "Path,Country,ICAO\n\"Canada\\Controllers\\App\\yyz.wav,Canada,X\n",
         "WARNING: 1 damaged lines skipped in " + tagsPath, false},
        {"tag file with semicolons", "-", "-", "Path;Country;ICAO\nCanada\\Controllers\\App\\yyz.wav;Canada;X\n",
         "ERROR: unable to read " + tagsPath + ": Missing column \"Path\"", false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        sim::Sim::get().log.clear();
        std::filesystem::remove_all(pluginFolder + "Regions");
        addClips("Regions/Canada", "App", {"yyz.wav"});
        auto write = [&](const char* relative, const std::string& text) {
            if (text != "-") writePluginFile(relative, text);
        };
        write("Regions/mp3tag.csv", test.exportText);
        write("Regions/default_geo.csv", test.geoText);
        write("Regions/ClipTags.csv", test.tagsText);
        clips = std::make_unique<ClipManager>();
        clips->getChatterFiles();
        clips->tagClips();
        EXPECT_TRUE(loggedStart(test.message)) << ::testing::PrintToString(logMessages());
        EXPECT_EQ(clips->m_ClipsCollectionTypes.m_ClipCollections.count("Countries"), test.countries ? 1u : 0u);
        if (test.tagsText != "-" && test.exportText != "-") {
            EXPECT_EQ(readPluginFile("Regions/ClipTags.csv"), oldTags);
        }
    }
}

}  // namespace
