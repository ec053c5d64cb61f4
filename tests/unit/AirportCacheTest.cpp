// Start-up loading: the scenery check, the rebuild in scenery priority order,
// the cache file's byte layout, and damaged caches.
#include <cstring>

#include "AirportFixture.h"
#include "Settings.h"

namespace {

class AirportLoad : public AirportTest {
protected:
    void SetUp() override {
        AirportTest::SetUp();
        gSettings.refreshFacilitesOnStart = false;
        cachePath = pluginFolder + "airports.dat";
    }
    void TearDown() override {
        gSettings = Settings();
        AirportTest::TearDown();
    }

    // A scenery list that the last rebuild already saw, so that loading goes to the cache.
    void sceneryUnchanged() {
        const std::string packs = "I\n1000 Version\nSCENERY_PACK *GLOBAL_AIRPORTS*\n";
        writeFile(SCENERY_PACKS, packs);
        writeFile(pluginFolder + "last_scenery_packs.ini", packs);
    }

    std::string cachePath;
};

const char* const SMALL_WORLD =
    "I\n1000 Version\n"
    "1 20 1 0 KAAA Alpha\n1302 country United States\n1302 icao_code KAAA\n"
    "100 30 1 0 0.25 0 2 1 04R 42.35107249 -71.01183012 0 0 2 0 0 0 22L 42.37691354 -70.99932612 0 0 2 0 0 0\n"
    "102 H1 42.349 -71.043 0 15 15 1 2 0 0.25 0\n"
    "1300 42.36 -71.01 0 gate jets A1\n1300 42.37 -71.02 0 gate jets A2\n"
    "1052 121650 CLR\n1054 118250 TWR\n1056 133000 DEP\n"
    "1 5000 1 0 EGXX An airport whose name is far longer than the cache keeps for it, so that it is cut "
    "at ninety-nine characters and not one more\n1051 122800 UNICOM\n"
    "99\n";

TEST_F(AirportLoad, RebuildReadsPacksInPriorityOrderThenTheDefaultFile) {
    const std::string outside = simFolder + "../Elsewhere/Outside Pack/";
    writeFile(SCENERY_PACKS,
              "I\n1000 Version\n"
              "SCENERY_PACK Custom Scenery/Custom Pack/\r\n"
              "SCENERY_PACK_DISABLED Custom Scenery/Disabled Pack/\n"
              "SCENERY_PACK " + outside + "\n"
              "SCENERY_PACK Custom Scenery/Missing Pack/\n"
              "SCENERY_PACK *GLOBAL_AIRPORTS*\n");
    writeFile("Custom Scenery/Custom Pack/Earth nav data/apt.dat", "1 20 1 0 KXYZ Custom\n99\n");
    writeFile("Custom Scenery/Disabled Pack/Earth nav data/apt.dat", "1 20 1 0 KDIS Disabled\n99\n");
    writeFile(outside + "Earth nav data/apt.dat", "1 20 1 0 KOUT Outside\n1 20 1 0 KXYZ Outside\n99\n");
    writeFile("Global Scenery/Global Airports/Earth nav data/apt.dat",
              "1 20 1 0 KXYZ Global\n1 20 1 0 KGLB Global\n99\n");
    writeFile(DEFAULT_APT, "1 20 1 0 KXYZ Default\n1 20 1 0 KDEF Default\n99\n");

    gSettings.refreshFacilitesOnStart = true;
    loadAirports();

    EXPECT_EQ(airport("KXYZ").name, "Custom");
    EXPECT_EQ(airport("KOUT").name, "Outside");
    EXPECT_EQ(airport("KGLB").name, "Global");
    EXPECT_EQ(airport("KDEF").name, "Default");
    EXPECT_EQ(cAirport::getAirport("KDIS"), nullptr);
    EXPECT_EQ(cAirport::getAirports().size(), 4u);
    std::vector<std::string> processed;
    for (const auto& line : logMessages())
        if (line.rfind("Processing: ", 0) == 0) processed.push_back(line.substr(12));
    const std::vector<std::string> expected = {
        simFolder + "Custom Scenery/Custom Pack/Earth nav data/apt.dat", outside + "Earth nav data/apt.dat",
        simFolder + "Global Scenery/Global Airports/Earth nav data/apt.dat", simFolder + DEFAULT_APT};
    EXPECT_EQ(processed, expected);
    EXPECT_TRUE(logged("Refreshed airports.dat in 0 seconds"));
    EXPECT_TRUE(fileExists(cachePath));
}

TEST_F(AirportLoad, CacheRoundTripKeepsEveryStoredField) {
    writeFile(DEFAULT_APT, SMALL_WORLD);
    readAirports();
    const std::map<std::string, cAirport> built = cAirport::getAirports();
    cAirport::removeAllAirports();
    sceneryUnchanged();
    loadAirports();
    EXPECT_TRUE(logged("Loading 2 airports from " + cachePath));

    const auto& loaded = cAirport::getAirports();
    ASSERT_EQ(loaded.size(), built.size());
    for (const auto& [ident, original] : built) {
        SCOPED_TRACE(ident);
        const cAirport& copy = airport(ident);
        EXPECT_EQ(copy.icaoCode, original.icaoCode);
        EXPECT_EQ(copy.trueIcaoCode, original.trueIcaoCode);
        EXPECT_EQ(copy.name, original.name.substr(0, 99));
        EXPECT_EQ(copy.country, original.country);
        EXPECT_EQ(copy.latitude, original.latitude);
        EXPECT_EQ(copy.longtitude, original.longtitude);
        EXPECT_EQ(copy.elevation, original.elevation);
        EXPECT_EQ(copy.tpa, 0);
        EXPECT_EQ(copy.hasRadarServices, original.hasRadarServices);
        EXPECT_EQ(copy.useStandardOverheadJoin, original.useStandardOverheadJoin);
        ASSERT_EQ(copy.frequencies.size(), original.frequencies.size());
        for (size_t i = 0; i < copy.frequencies.size(); ++i) {
            EXPECT_EQ(copy.frequencies[i].freq, original.frequencies[i].freq);
            EXPECT_EQ(copy.frequencies[i].type, original.frequencies[i].type);
            EXPECT_EQ(copy.frequencies[i].name, original.frequencies[i].name);
        }
        ASSERT_EQ(copy.runways.size(), original.runways.size());
        for (size_t i = 0; i < copy.runways.size(); ++i) {
            EXPECT_EQ(copy.runways[i].number, original.runways[i].number);
            EXPECT_EQ(copy.runways[i].oppositeNumber, original.runways[i].oppositeNumber);
            EXPECT_EQ(copy.runways[i].latitude, original.runways[i].latitude);
            EXPECT_EQ(copy.runways[i].longitude, original.runways[i].longitude);
            EXPECT_EQ(copy.runways[i].trueHeading, original.runways[i].trueHeading);
            EXPECT_EQ(copy.runways[i].lengthInFeet, original.runways[i].lengthInFeet);
            EXPECT_EQ(copy.runways[i].type, original.runways[i].type);
        }
        ASSERT_EQ(copy.startLocations.size(), original.startLocations.size());
        for (size_t i = 0; i < copy.startLocations.size(); ++i) {
            EXPECT_EQ(copy.startLocations[i].name, original.startLocations[i].name);
            EXPECT_EQ(copy.startLocations[i].latitude, original.startLocations[i].latitude);
            EXPECT_EQ(copy.startLocations[i].longtitude, original.startLocations[i].longtitude);
        }
    }
    EXPECT_TRUE(airport("KAAA").hasRadarServices);
    EXPECT_TRUE(airport("EGXX").useStandardOverheadJoin);
}

TEST_F(AirportLoad, CacheFileHasTheFixedByteLayout) {
    parse("1 20 1 0 KAAA Alpha\n1302 icao_code KAAA\n1054 118250 TWR\n"
          "100 30 1 0 0.25 0 2 1 04R 42.35107249 -71.01183012 0 0 2 0 0 0 22L 42.37691354 -70.99932612 0 0 2 0 0 0\n"
          "1300 42.36 -71.01 0 gate jets A1\n99\n");
    dumpAirports();
    const std::string bytes = readFile(cachePath);
    ASSERT_EQ(bytes.size(), 8u + 256 + 116 + 2 * 88 + 120);
    auto int32At = [&](size_t offset) {
        int32_t value;
        memcpy(&value, bytes.data() + offset, 4);
        return value;
    };
    auto doubleAt = [&](size_t offset) {
        double value;
        memcpy(&value, bytes.data() + offset, 8);
        return value;
    };
    auto zeros = [&](size_t offset, size_t count) { return bytes.substr(offset, count) == std::string(count, '\0'); };
    EXPECT_EQ(int32At(0), 10);
    EXPECT_EQ(int32At(4), 1);
    const size_t airportAt = 8;
    EXPECT_EQ(doubleAt(airportAt + 0), 42.35107249);
    EXPECT_EQ(doubleAt(airportAt + 8), -71.01183012);
    EXPECT_EQ(int32At(airportAt + 16), 20);
    EXPECT_TRUE(zeros(airportAt + 20, 4));  // no radar, no overhead join, padding
    EXPECT_EQ(int32At(airportAt + 24), 2);
    EXPECT_EQ(int32At(airportAt + 28), 1);
    EXPECT_EQ(int32At(airportAt + 32), 1);
    EXPECT_EQ(bytes.substr(airportAt + 36, 5), std::string("KAAA\0", 5));
    EXPECT_TRUE(zeros(airportAt + 41, 5));
    EXPECT_EQ(bytes.substr(airportAt + 46, 5), std::string("KAAA\0", 5));
    EXPECT_EQ(bytes.substr(airportAt + 56, 6), std::string("Alpha\0", 6));
    EXPECT_TRUE(zeros(airportAt + 156, 100));
    const size_t frequencyAt = airportAt + 256;
    EXPECT_EQ(int32At(frequencyAt), 118250);
    EXPECT_EQ(bytes.substr(frequencyAt + 4, 4), std::string("Twr\0", 4));
    EXPECT_EQ(bytes.substr(frequencyAt + 14, 4), std::string("TWR\0", 4));
    EXPECT_TRUE(zeros(frequencyAt + 114, 2));
    const size_t runwayAt = frequencyAt + 116;
    EXPECT_EQ(bytes.substr(runwayAt, 4), std::string("04R\0", 4));
    EXPECT_EQ(bytes.substr(runwayAt + 25, 4), std::string("22L\0", 4));
    EXPECT_TRUE(zeros(runwayAt + 50, 6));
    EXPECT_EQ(doubleAt(runwayAt + 56), 42.35107249);
    EXPECT_EQ(doubleAt(runwayAt + 64), -71.01183012);
    float heading;
    memcpy(&heading, bytes.data() + runwayAt + 72, 4);
    EXPECT_EQ(heading, airport("KAAA").runways[0].trueHeading);
    EXPECT_EQ(static_cast<uint32_t>(int32At(runwayAt + 76)), airport("KAAA").runways[0].lengthInFeet);
    EXPECT_EQ(int32At(runwayAt + 80), LAND);
    EXPECT_TRUE(zeros(runwayAt + 84, 4));
    const size_t locationAt = runwayAt + 2 * 88;
    EXPECT_EQ(bytes.substr(locationAt, 3), std::string("A1\0", 3));
    EXPECT_TRUE(zeros(locationAt + 100, 4));
    EXPECT_EQ(doubleAt(locationAt + 104), 42.36);
    EXPECT_EQ(doubleAt(locationAt + 112), -71.01);
}

TEST_F(AirportLoad, OutdatedOrMissingCacheIsRebuiltDamagedOneIsNot) {
    writeFile(DEFAULT_APT, SMALL_WORLD);
    sceneryUnchanged();

    loadAirports();  // no cache yet
    EXPECT_TRUE(logged("Unable to open " + cachePath + ", creating new airport cache file"));
    EXPECT_EQ(cAirport::getAirports().size(), 2u);

    std::string cache = readFile(cachePath);
    const int32_t nine = 9;
    memcpy(&cache[0], &nine, 4);
    writeFile(cachePath, cache);
    sim::Sim::get().log.clear();
    loadAirports();
    EXPECT_TRUE(logged("Airport cache is version 9, was expecting 10. Recreating the airport cache file " + cachePath));
    EXPECT_EQ(cAirport::getAirports().size(), 2u);
    EXPECT_EQ(readFile(cachePath).substr(0, 4), std::string("\x0a\0\0\0", 4));

    writeFile(cachePath, std::string("\x0a\0\0", 3));
    sim::Sim::get().log.clear();
    loadAirports();
    EXPECT_TRUE(logged("Unexpected Error reading " + cachePath));
    EXPECT_TRUE(cAirport::getAirports().empty());
    EXPECT_EQ(readFile(cachePath).size(), 3u);  // not rebuilt
}

TEST_F(AirportLoad, DamagedCountsStopLoadingAndKeepWhatWasRead) {
    writeFile(DEFAULT_APT, SMALL_WORLD);
    readAirports();
    const std::string good = readFile(cachePath);
    sceneryUnchanged();
    // In key order EGXX (one frequency) comes first, then KAAA.
    const size_t first = 8, second = first + 256 + 116;
    const std::string firstName = good.c_str() + first + 56;
    auto withInt = [&](size_t offset, int32_t value) {
        std::string bytes = good;
        memcpy(&bytes[offset], &value, 4);
        return bytes;
    };
    struct Case {
        const char* what;
        std::string bytes;
        std::string message;
        size_t airportsKept;
    } cases[] = {
        {"more airports than the file holds", withInt(4, 1000000),
         "Unexpected Error reading airport 2 from " + cachePath, 2},
        {"negative airport count", withInt(4, -1), "Unexpected Error reading " + cachePath, 0},
        {"huge frequency count", withInt(second + 28, 0x7fffffff),
         "Unexpected Error reading frequency from airport Alpha", 1},
        {"negative runway count", withInt(second + 24, -5), "Unexpected Error reading runway from airport Alpha", 1},
        {"huge start location count", withInt(first + 32, 0x10000000),
         "Unexpected Error reading starting location from airport " + firstName, 0},
        {"cut inside an airport", good.substr(0, second + 100), "Unexpected Error reading airport 1 from " + cachePath,
         1},
        {"cut inside a list", good.substr(0, first + 256 + 50),
         "Unexpected Error reading frequency from airport " + firstName, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(cachePath, c.bytes);
        sim::Sim::get().log.clear();
        loadAirports();
        EXPECT_TRUE(logged(c.message)) << logMessages().back();
        EXPECT_EQ(cAirport::getAirports().size(), c.airportsKept);
    }
}

TEST_F(AirportLoad, TextFieldsWithoutTerminatorStayInsideTheirWidth) {
    writeFile(DEFAULT_APT, SMALL_WORLD);
    readAirports();
    std::string bytes = readFile(cachePath);
    memset(&bytes[8 + 36], 'I', 10);   // icao runs into trueIcao
    memset(&bytes[8 + 56], 'N', 200);  // name runs into country
    writeFile(cachePath, bytes);
    sceneryUnchanged();
    loadAirports();
    ASSERT_NE(cAirport::getAirport("IIIIIIIIII"), nullptr);
    EXPECT_EQ(cAirport::getAirport("IIIIIIIIII")->name, std::string(100, 'N'));
    EXPECT_EQ(cAirport::getAirport("IIIIIIIIII")->country, std::string(100, 'N'));
}

TEST_F(AirportLoad, SceneryChangesAreDetectedAndRecorded) {
    const std::string last = pluginFolder + "last_scenery_packs.ini";
    const std::string packs = "I\n1000 Version\nSCENERY_PACK Custom Scenery/A/\nSCENERY_PACK *GLOBAL_AIRPORTS*\n";
    writeFile(SCENERY_PACKS, packs);

    EXPECT_TRUE(hasCustomSceneryChanges());  // never recorded
    EXPECT_EQ(readFile(last), packs);
    EXPECT_FALSE(logged("Detected changes to custom scenery, airport database will be rebuilt."));
    EXPECT_FALSE(hasCustomSceneryChanges());

    const std::string reordered = "I\n1000 Version\nSCENERY_PACK *GLOBAL_AIRPORTS*\nSCENERY_PACK Custom Scenery/A/\n";
    writeFile(SCENERY_PACKS, reordered);
    EXPECT_TRUE(hasCustomSceneryChanges());
    EXPECT_TRUE(logged("Detected changes to custom scenery, airport database will be rebuilt."));
    EXPECT_EQ(readFile(last), reordered);

    writeFile(SCENERY_PACKS, "I\n1000 Version\nSCENERY_PACK *GLOBAL_AIRPORTS*\n");  // a pack removed at the end
    EXPECT_TRUE(hasCustomSceneryChanges());
    writeFile(SCENERY_PACKS, "I\r\n1000 Version\r\nSCENERY_PACK *GLOBAL_AIRPORTS*\r\n");  // only line ends differ
    EXPECT_FALSE(hasCustomSceneryChanges());

    std::filesystem::remove(simFolder + SCENERY_PACKS);
    sim::Sim::get().log.clear();
    EXPECT_FALSE(hasCustomSceneryChanges());
    EXPECT_TRUE(logged("Error: unable to read " + simFolder + SCENERY_PACKS));
}

TEST_F(AirportLoad, ASceneryChangeRebuildsEvenWithTheRefreshSettingOff) {
    writeFile(DEFAULT_APT, SMALL_WORLD);
    sceneryUnchanged();
    loadAirports();
    writeFile(DEFAULT_APT, "1 20 1 0 KNEW New\n99\n");
    loadAirports();  // same scenery list: the cache still answers
    EXPECT_EQ(cAirport::getAirport("KNEW"), nullptr);
    writeFile(SCENERY_PACKS, "I\n1000 Version\n");
    loadAirports();
    EXPECT_NE(cAirport::getAirport("KNEW"), nullptr);
    EXPECT_EQ(cAirport::getAirports().size(), 1u);
}

}  // namespace
