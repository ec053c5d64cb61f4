#include <chrono>
#include <thread>

#include "ClipFixture.h"
#include "Settings.h"
#include "SimState.h"
#include "nav/AirportDatabase.h"
#include "nav/RegionMap.h"

namespace {

// One airport of each country with an ICAO code, and one nearer to both that has none.
const char* kTwoCountries =
    "I\n1200 Version - two countries\n\n"
    "1 20 1 0 KBOS Boston Logan Intl\n"
    "1302 country United States\n1302 datum_lat 42.362944\n1302 datum_lon -71.006389\n1302 icao_code KBOS\n"
    "1 118 1 0 CYUL Montreal Trudeau Intl\n"
    "1302 country Canada\n1302 datum_lat 45.470556\n1302 datum_lon -73.740833\n1302 icao_code CYUL\n"
    "1 400 0 0 VT99 Private Strip\n"
    "1302 datum_lat 44.000000\n1302 datum_lon -72.500000\n"
    "99\n";

class RegionMapTest : public ClipTest {
protected:
    void SetUp() override {
        ClipTest::SetUp();
        RegionMapManager::removeInstance();
        cAirport::removeAllAirports();
        initSimState();
        gSettings.autoSelectRegionAndCountry = true;
    }
    void TearDown() override {
        RegionMapManager::removeInstance();
        cAirport::removeAllAirports();
        gSettings.autoSelectRegionAndCountry = false;
        setTimeScale(1.0);
    }

    void loadAirports(const std::string& aptDat) {
        writePluginFile("fixture/apt.dat", aptDat);
        processAirportFile(pluginFolder + "fixture/apt.dat");
    }

    static void flyTo(double latitude, double longitude) {
        sim::setDataRef("sim/flightmodel/position/latitude", -1, {std::to_string(latitude)});
        sim::setDataRef("sim/flightmodel/position/longitude", -1, {std::to_string(longitude)});
        sampleAircraftPosition();
    }

    // Lets `seconds` of plug-in time pass in a few milliseconds.
    static void wait(double seconds) {
        setTimeScale(1000.0);
        std::this_thread::sleep_for(std::chrono::microseconds(static_cast<int64_t>(seconds * 1000)));
        setTimeScale(1.0);
    }

    std::vector<std::string> selected(const char* typeName) {
        std::vector<std::string> result;
        for (const auto& entry : type(typeName).m_ControllerSets)
            if (entry.second.selected) result.push_back(entry.first);
        return result;
    }
};

TEST_F(RegionMapTest, DefaultLettersAreWrittenWhenTheMapIsMissing) {
    RegionMapManager* regions = RegionMapManager::getInstance();
    EXPECT_TRUE(logged("Creating Default RegionMap.txt"));
    EXPECT_TRUE(logged("Unable to open " + pluginFolder + "IdentToCountry.csv"));
    const std::string defaults =
        "Africa=GDFHF\nAsia=RZV\nCanada=CB\nEurope=ELUO\nOceania=YNWA\nSouth America=MS\nUnited States=KP\nCustom=\n";
    EXPECT_EQ(readPluginFile("RegionMap.txt"), defaults);
    EXPECT_EQ(regions->regionIcaoMap[REGION_US], "KP");
    EXPECT_EQ(regions->regionToIndex["South America"], REGION_SA);
    EXPECT_EQ(regions->findCountry("KBOS"), "");

    regions->regionIcaoMap[REGION_CUSTOM] = "L";  // edited in the settings window
    RegionMapManager::removeInstance();
    EXPECT_EQ(readPluginFile("RegionMap.txt"), std::string(defaults).replace(defaults.size() - 1, 1, "L\n"));
}

TEST_F(RegionMapTest, MapAndCountryFilesAreReadLineByLine) {
    writePluginFile("RegionMap.txt",
                    "Europe=ELUOB\r\n"
                    "Atlantis=Q\n"
                    "United States\n"
                    "Asia=R=Z\n"
                    "Canada=" + std::string(600, 'C') + "\n");
    writePluginFile("IdentToCountry.csv",
                    "ICAO,Country\n"
                    "KBOS,United States\r\n"
                    "KBOS,Elsewhere\n"
                    "LFPG,France, the Republic\n"
                    "no comma\n");
    RegionMapManager* regions = RegionMapManager::getInstance();
    EXPECT_FALSE(logged("Creating Default RegionMap.txt"));
    EXPECT_EQ(regions->regionIcaoMap[REGION_EU], "ELUOB");
    EXPECT_EQ(regions->regionIcaoMap[REGION_US], "");
    EXPECT_EQ(regions->regionIcaoMap[REGION_AS], "R=Z");
    EXPECT_EQ(regions->regionIcaoMap[REGION_CA], std::string(499 - 7, 'C'));
    EXPECT_EQ(regions->findCountry("KBOS"), "United States");
    EXPECT_EQ(regions->findCountry("kbos"), "");
    EXPECT_EQ(regions->findCountry("LFPG"), "France, the Republic");
    EXPECT_EQ(regions->findCountry("ICAO"), "");
    EXPECT_EQ(regions->icaoToCountry.size(), 2u);
}

TEST_F(RegionMapTest, NearestIcaoAirportGivesCountryAndRegions) {
    writePluginFile("IdentToCountry.csv", "ICAO,Country\nKBOS,United States\nLFPG,France\n");
    loadAirports(std::string(kTwoCountries).replace(std::string(kTwoCountries).find("99\n"), 3,
                                                    "1 392 1 0 LFPG Paris Charles de Gaulle\n"
                                                    "1302 datum_lat 49.009722\n1302 datum_lon 2.547778\n"
                                                    "1302 icao_code LFPG\n1 5 0 0 QQQQ Nowhere\n"
                                                    "1302 datum_lat -60.0\n1302 datum_lon 0.0\n"
                                                    "1302 icao_code QQQQ\n99\n"));
    RegionMapManager* regions = RegionMapManager::getInstance();
    std::string country = "stale";
    std::map<std::string, bool> matching = {{"stale", true}};

    flyTo(42.0, -72.9);  // the private strip is nearer but has no ICAO code
    EXPECT_EQ(regions->selectRegion(country, matching), 1);
    EXPECT_EQ(country, "United States");
    EXPECT_EQ(matching, (std::map<std::string, bool>{{"United States", true}}));

    regions->regionIcaoMap[REGION_CUSTOM] = "L";
    flyTo(48.5, 2.0);
    EXPECT_EQ(regions->selectRegion(country, matching), 2);
    EXPECT_EQ(country, "France");
    EXPECT_EQ(matching, (std::map<std::string, bool>{{"Custom", true}, {"Europe", true}}));

    flyTo(-59.0, 0.0);  // Q is in no region, QQQQ in no country
    EXPECT_EQ(regions->selectRegion(country, matching), 0);
    EXPECT_EQ(country, "");
    EXPECT_TRUE(matching.empty());

    gSettings.autoSelectRegionAndCountry = false;
    flyTo(42.0, -72.9);
    EXPECT_EQ(regions->selectRegion(country, matching), 0);
    EXPECT_EQ(country, "");
}

TEST_F(RegionMapTest, FlyingFromTheUnitedStatesToCanadaSwitchesTheRegionAtTheNextCheck) {
    writePluginFile("IdentToCountry.csv", "ICAO,Country\nKBOS,United States\nCYUL,Canada\n");
    loadAirports(kTwoCountries);
    addClips("Regions/United States", "Dep_Twr", {"us.mp3"});
    addClips("Regions/Canada", "App", {"ca.mp3"});
    addClips("Regions/Europe", "App", {"eu.mp3"});
    ClipManager& library = getClipManager();
    library.getChatterFiles();
    library.m_ClipsCollectionTypes.m_ClipCollections["Regions"].m_ControllerSets["Europe"].selected = true;
    library.buildWorkingSet();
    RegionMapManager* regions = RegionMapManager::getInstance();
    auto regionFlags = [&] {
        std::vector<std::string> result;
        for (const auto& entry : library.m_ClipsCollectionTypes.m_ClipCollections["Regions"].m_ControllerSets)
            if (entry.second.selected) result.push_back(entry.first);
        return result;
    };

    flyTo(42.36, -71.0);
    regions->checkRegion();  // the first check comes at once
    EXPECT_EQ(regionFlags(), (std::vector<std::string>{"United States"}));
    EXPECT_EQ(library.getNextClip(CONTROLLER_DEP_TWR).getFileName(), "us.mp3");
    EXPECT_EQ(library.getWorkingClipCount(), 1);

    flyTo(45.47, -73.74);
    wait(30);
    regions->checkRegion();  // within the minute: nothing
    EXPECT_EQ(regionFlags(), (std::vector<std::string>{"United States"}));
    wait(31);
    regions->checkRegion();
    EXPECT_EQ(regionFlags(), (std::vector<std::string>{"Canada"}));
    EXPECT_EQ(library.getNextClip(CONTROLLER_APP).getFileName(), "ca.mp3");
    EXPECT_EQ(library.getWorkingClipCount(), 1);

    // Back over the border and an airport load: the next frame checks again.
    flyTo(42.36, -71.0);
    regions->checkRegion();
    EXPECT_EQ(regionFlags(), (std::vector<std::string>{"Canada"}));
    regions->resetRegionCheck();
    regions->checkRegion();
    EXPECT_EQ(regionFlags(), (std::vector<std::string>{"United States"}));

    // Automatic selection off: the flags stay.
    gSettings.autoSelectRegionAndCountry = false;
    flyTo(45.47, -73.74);
    regions->resetRegionCheck();
    regions->checkRegion();
    EXPECT_EQ(regionFlags(), (std::vector<std::string>{"United States"}));
}

TEST_F(RegionMapTest, WithCountriesSelectedTheCountryCollectionFollows) {
    writePluginFile("IdentToCountry.csv", "ICAO,Country\nKBOS,United States\nCYUL,Canada\n");
    loadAirports(kTwoCountries);
    addClips("Regions/United States", "Dep_Twr", {"us.mp3"});
    writePluginFile("Regions/ClipTags.csv",
                    "Path,Country,ICAO\nUnited States\\Controllers\\Dep_Twr\\us.mp3,United States,KBOS\n");
    ClipManager& library = getClipManager();
    library.getChatterFiles();
    library.tagClips();
    auto& types = library.m_ClipsCollectionTypes.m_ClipCollections;
    types["Regions"].selected = false;
    types["Countries"].selected = true;
    RegionMapManager* regions = RegionMapManager::getInstance();

    // No "Canada" collection: nothing changes.
    flyTo(45.47, -73.74);
    regions->checkRegion();
    EXPECT_FALSE(types["Countries"].m_ControllerSets["United States"].selected);
    EXPECT_EQ(library.getWorkingClipCount(), 0);

    // Once there is one, the next check switches to it.
    types["Countries"].m_ControllerSets["Canada"];
    types["Countries"].m_ControllerSets["United States"].selected = true;
    regions->resetRegionCheck();
    regions->checkRegion();
    EXPECT_TRUE(types["Countries"].m_ControllerSets["Canada"].selected);
    EXPECT_FALSE(types["Countries"].m_ControllerSets["United States"].selected);

    flyTo(42.36, -71.0);
    wait(61);
    regions->checkRegion();
    EXPECT_FALSE(types["Countries"].m_ControllerSets["Canada"].selected);
    EXPECT_TRUE(types["Countries"].m_ControllerSets["United States"].selected);
    EXPECT_EQ(library.getNextClip(CONTROLLER_DEP_TWR).getFileName(), "us.mp3");
    // The region type, not selected, was left alone.
    for (const auto& entry : types["Regions"].m_ControllerSets) EXPECT_FALSE(entry.second.selected) << entry.first;
}

}  // namespace
