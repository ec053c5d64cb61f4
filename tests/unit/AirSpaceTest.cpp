#include <chrono>
#include <cmath>
#include <fstream>
#include <set>

#include "HostFixture.h"
#include "common/CLocale.h"
#include "Settings.h"
#include "SimState.h"
#include "nav/AirSpaceManager.h"
#include "nav/Facility.h"

namespace {

// Ellipsoid distance in NM, as the same-frequency rule measures it.
double vincentyNM(const Transmitter& a, const Transmitter& b) {
    return getDistanceVincenty(a.lat, a.lon, b.lat, b.lon) / 1852.0;
}

// A square measured in NM around a centre, counter-clockwise.
std::vector<GeoPoint> square(double lat, double lon, double halfSideNM) {
    const double dLat = halfSideNM / 60.0;
    const double dLon = halfSideNM / (60.0 * cos(lat * M_PI / 180.0));
    return {{lat - dLat, lon - dLon}, {lat - dLat, lon + dLon}, {lat + dLat, lon + dLon}, {lat + dLat, lon - dLon}};
}

std::string pointLines(const std::vector<GeoPoint>& polygon) {
    std::string lines;
    for (const auto& vertex : polygon) lines += formatC("POINT %.6f %.6f\n", vertex.latitude, vertex.longitude);
    return lines;
}

// One center controller block as the simulator's file has it.
std::string controller(const std::string& name, const std::string& frequencies, const std::vector<GeoPoint>& polygon,
                       const std::string& altitudes = "0 60000") {
    return "CONTROLLER\nNAME " + name + "\nFACILITY_ID Z" + name.substr(0, 2) + "\nROLE ctr\n" + frequencies +
           "AIRSPACE_POLYGON_BEGIN " + altitudes + "\n" + pointLines(polygon) + "AIRSPACE_POLYGON_END\nCONTROLLER_END\n";
}

class AirSpaces : public HostTest {
protected:
    void TearDown() override {
        clearFacilities();
        AirSpaceManager::clear();
    }

    bool loadText(const std::string& text) {
        const std::string path = simFolder + "atc.dat";
        std::ofstream(path, std::ios::binary) << text;
        return AirSpaceManager::loadFile(path);
    }

    static const AirSpace& only() {
        EXPECT_EQ(AirSpaceManager::airSpaces.size(), 1u);
        return *AirSpaceManager::airSpaces.front();
    }
};

TEST_F(AirSpaces, SquareAirspaceGetsCentreAndRingSitesNeverTwoOnOneFrequencyWithin70NM) {
    ASSERT_TRUE(loadText(controller("Denver", "FREQ 12835\nFREQ 13260\n", square(40.0, -100.0, 150.0))));
    const AirSpace& airSpace = only();
    EXPECT_EQ(airSpace.frequencies, (std::vector<int>{128350, 132600}));
    EXPECT_NEAR(airSpace.center.latitude, 40.0, 1e-9);
    EXPECT_NEAR(airSpace.center.longitude, -100.0, 1e-9);

    const auto& sites = airSpace.transmitterLocations;
    ASSERT_GE(sites.size(), 5u);
    EXPECT_EQ(sites.front().lat, airSpace.center.latitude);
    EXPECT_EQ(sites.front().lon, airSpace.center.longitude);
    std::set<int> usedFrequencies;
    for (size_t i = 0; i < sites.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "site " << i << " at " << sites[i].lat << "," << sites[i].lon);
        usedFrequencies.insert(sites[i].frequency);
        EXPECT_TRUE(airSpace.isInAirSpace(sites[i].lat, sites[i].lon));
        if (i > 0) {
            // On a ring: a whole multiple of 50 NM from the centre, measured on
            // the projection's sphere of 3440.065 NM.
            const double ring = distanceLatLon(40.0, -100.0, sites[i].lat, sites[i].lon, 'N') * 3440.065 / 3437.6691;
            EXPECT_NEAR(ring / 50.0, std::round(ring / 50.0), 0.01);
            EXPECT_GE(std::round(ring / 50.0), 1.0);
        }
        for (size_t j = 0; j < i; ++j)
            if (sites[i].frequency == sites[j].frequency) {
                EXPECT_GE(vincentyNM(sites[i], sites[j]), 70.0);
            }
    }
    EXPECT_EQ(usedFrequencies, (std::set<int>{128350, 132600}));

    // The nearest site is the one with the smallest haversine distance.
    for (double lat = 37.6; lat < 42.5; lat += 0.7)
        for (double lon = -103.2; lon < -96.8; lon += 0.9) {
            size_t best = 0;
            for (size_t i = 1; i < sites.size(); ++i)
                if (distanceLatLon(lat, lon, sites[i].lat, sites[i].lon, 'N') <
                    distanceLatLon(lat, lon, sites[best].lat, sites[best].lon, 'N'))
                    best = i;
            double distance = -1;
            EXPECT_EQ(airSpace.nearestTransmitter(lat, lon, distance), &sites[best]) << lat << "," << lon;
            EXPECT_DOUBLE_EQ(distance, distanceLatLon(lat, lon, sites[best].lat, sites[best].lon, 'N'));
        }
}

TEST_F(AirSpaces, FrequencyInUse40NMFromTheCentreLeavesTheCentreEmpty) {
    Transmitter neighbour{40.0 + 40.0 / 60.0, -100.0, 128350};
    TransmitterIndex::addTransmitter(neighbour);
    AirSpace airSpace;
    airSpace.name = "Denver";
    airSpace.frequencies = {128350};
    airSpace.polygon = square(40.0, -100.0, 150.0);
    airSpace.evaluate();

    ASSERT_FALSE(airSpace.transmitterLocations.empty());  // the rings still get sites
    for (const auto& site : airSpace.transmitterLocations) {
        EXPECT_FALSE(site.lat == airSpace.center.latitude && site.lon == airSpace.center.longitude);
        EXPECT_GE(vincentyNM(site, neighbour), 70.0);
    }
}

TEST_F(AirSpaces, ProjectionFollowsTheGreatCircle) {
    struct Case {
        GeoPoint from;
        double heading, distance;
        GeoPoint expected;
    };
    const double degree = 3440.065 * M_PI / 180.0;  // NM per degree of arc
    const Case cases[] = {
        {{0, 0}, 0, degree, {1, 0}},
        {{0, 0}, 90, degree, {0, 1}},
        {{0, 179.5}, 90, degree, {0, -179.5}},  // wraps past 180
        {{0, -179.5}, 270, degree, {0, 179.5}},
        {{60, 10}, 0, 20 * degree, {80, 10}},
        {{42, -71}, 180, 12 * degree, {30, -71}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.latitude << "," << c.from.longitude << " h" << c.heading << " d" << c.distance);
        GeoPoint to = AirSpace::projectPoint(c.from, c.heading, c.distance);
        EXPECT_NEAR(to.latitude, c.expected.latitude, 1e-3);
        EXPECT_NEAR(to.longitude, c.expected.longitude, 1e-3);
        EXPECT_LE(std::fabs(to.longitude), 180.0);
    }
}

TEST_F(AirSpaces, AntiMeridianPolygonHoldsPointsOnBothSides) {
    ASSERT_TRUE(loadText(controller("Anchorage", "FREQ 12855\n", {{50, 179}, {50, -179}, {52, -179}, {52, 179}})));
    const AirSpace& airSpace = only();
    EXPECT_TRUE(airSpace.antiMeridian);
    EXPECT_NEAR(airSpace.center.latitude, 51.0, 1e-9);
    EXPECT_NEAR(std::fabs(airSpace.center.longitude), 180.0, 1e-9);
    for (const auto& site : airSpace.transmitterLocations) EXPECT_LE(std::fabs(site.lon), 180.0);

    struct Case {
        double lat, lon;
        bool inside;
    } const cases[] = {{51, -179.5, true},  {51, 179.5, true},  {51, 180, true},
                       {51, -178.5, false}, {51, 178.5, false}, {52.5, -179.5, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << "," << c.lon);
        EXPECT_EQ(airSpace.isInAirSpace(c.lat, c.lon), c.inside);
        EXPECT_EQ(AirSpaceManager::getAirSpace(c.lat, c.lon, 10000) == &airSpace, c.inside);
    }
}

TEST_F(AirSpaces, ReaderKeywordRules) {
    const auto box = square(40, -100, 60);
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> names;     // airspaces in load order
        std::vector<int> firstFrequencies;  // of the first airspace
    };
    const Case cases[] = {
        {"FREQ in 10 kHz, 25 kHz channels regain their 5, CHAN in kHz",
         controller("Denver", "FREQ 12855\nFREQ 12857\nFREQ 12772\nFREQ 12800\nCHAN 128555\n", box),
         {"Denver"},
         {128550, 128575, 127725, 128000, 128555}},
        {"oceanic controller and its lines skipped",
         controller("New York OCEANIC", "FREQ 12855\n", box) + controller("Boston", "FREQ 13345\n", box),
         {"Boston"},
         {133450}},
        {"roles other than ctr dropped",
         std::string("CONTROLLER\nNAME Boston Tower\nROLE twr\nFREQ 12810\n") + pointLines(box) + "CONTROLLER_END\n" +
             controller("Boston", "FREQ 13345\n", box),
         {"Boston"},
         {133450}},
        {"a NAME line finishes a controller without CONTROLLER_END; so does the end of the file",
         "NAME Boston\nFREQ 13345\n" + pointLines(box) + "NAME Denver\nFREQ 12835\n" + pointLines(box),
         {"Boston", "Denver"},
         {133450}},
        {"comment and unknown lines ignored, altitudes read",
         "I\n1200 Version - our own data\n; a comment line\n" + controller("Boston", "FREQ 13345\n", box, "5000 45000"),
         {"Boston"},
         {133450}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(loadText(c.text));
        std::vector<std::string> names;
        for (const auto& airSpace : AirSpaceManager::airSpaces) names.push_back(airSpace->name);
        EXPECT_EQ(names, c.names);
        if (!names.empty()) {
            EXPECT_EQ(AirSpaceManager::airSpaces.front()->frequencies, c.firstFrequencies);
        }
    }
    EXPECT_EQ(AirSpaceManager::airSpaces.front()->minAlt, 5000);
    EXPECT_EQ(AirSpaceManager::airSpaces.front()->maxAlt, 45000);
    EXPECT_EQ(AirSpaceManager::airSpaces.front()->id, "ZBo");
}

TEST_F(AirSpaces, DamagedFilesKeepWhatIsSoundAndSayWhereTheDamageStarts) {
    const auto box = square(40, -100, 60);
    const std::string good = controller("Boston", "FREQ 13345\n", box);
    struct Case {
        const char* what;
        std::string text;
        size_t airSpaces;
        size_t frequencies;  // of the last airspace
        const char* warning;  // substring of the warning, empty when none
    };
    const Case cases[] = {
        {"POINT before any NAME", "POINT 40 -100\nPOINT 41 -100\n" + good, 1, 1, ""},
        {"polygon with two vertices",
         "NAME Denver\nFREQ 12835\nPOINT 40 -100\nPOINT 41 -100\nCONTROLLER_END\n" + good, 1, 1, "the first at line 1"},
        {"non-numbers", "NAME Denver\nFREQ 1x835\nCHAN abc\nAIRSPACE_POLYGON_BEGIN low high\nPOINT north west\n" +
                            pointLines(box) + "POINT nan 0\nPOINT 40 inf\nPOINT 91 0\nCONTROLLER_END\n",
         1, 0, "7 damaged entries ignored"},
        {"FREQ of garbage and out of the air band", "NAME Denver\nFREQ 1\nFREQ 99999\nFREQ -1283\nFREQ 12835\n" +
                                                       pointLines(box) + "CONTROLLER_END\n",
         1, 1, "3 damaged entries"},
        {"no CONTROLLER_END at all", "NAME Denver\nFREQ 12835\n" + pointLines(box), 1, 1, ""},
        {"binary junk", std::string("NAME \x01\xff\0POINT 1 2\n\n\r\n", 18) + good, 1, 1, "the first at line 1"},
        {"overlong line does not spill into the next", std::string(6000, 'x') + "NAME Lost\n" + good, 1, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim::Sim::get().log.clear();
        ASSERT_TRUE(loadText(c.text));
        ASSERT_EQ(AirSpaceManager::airSpaces.size(), c.airSpaces);
        EXPECT_EQ(AirSpaceManager::airSpaces.back()->frequencies.size(), c.frequencies);
        bool warned = false;
        for (const auto& message : logMessages()) warned |= message.find("damaged entries ignored") != std::string::npos &&
                                                            message.find(c.warning) != std::string::npos;
        EXPECT_EQ(warned, *c.warning != '\0');
    }
}

TEST_F(AirSpaces, EnormousPolygonsArePlacedInBoundedTime) {
    // Nearly the whole globe, and a polygon of 200,000 vertices.
    std::string text = controller("World", "FREQ 12835\nFREQ 12840\nFREQ 12845\n",
                                  {{-80, -170}, {-80, 170}, {80, 170}, {80, -170}});
    std::string ring = "NAME Ring\nFREQ 12835\n";
    for (int i = 0; i < 200000; ++i) {
        const double angle = i * 2 * M_PI / 200000;
        ring += formatC("POINT %.6f %.6f\n", 10 + 20 * sin(angle), 20 + 20 * cos(angle));
    }
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(loadText(text + ring));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(AirSpaceManager::airSpaces.size(), 2u);
    EXPECT_GT(AirSpaceManager::airSpaces[0]->transmitterLocations.size(), 100u);
    EXPECT_GT(AirSpaceManager::airSpaces[1]->transmitterLocations.size(), 10u);
    EXPECT_LT(seconds, 60.0);  // a hang would go on for hours
}

TEST_F(AirSpaces, ElevationBelowSeaLevelCountsAsZero) {
    ASSERT_TRUE(loadText(controller("Amsterdam", "FREQ 12835\n", square(52.3, 4.8, 60), "0 24500")));
    const AirSpace* airSpace = AirSpaceManager::airSpaces.front().get();
    struct Case {
        double elevation;
        bool inside;
    } const cases[] = {{-10, true}, {0, true}, {24500, true}, {24501, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.elevation);
        EXPECT_EQ(AirSpaceManager::getAirSpace(52.3, 4.8, c.elevation) == airSpace, c.inside);
    }
}

TEST_F(AirSpaces, LargeAirspaceIsFoundInBandsWithoutVertices) {
    // Vertices only at 30 and 45 degrees north.
    ASSERT_TRUE(loadText(controller("Pacific", "FREQ 12835\n", {{30, -150}, {30, -130}, {45, -130}, {45, -150}})));
    for (double lat : {30.5, 37.2, 44.9}) EXPECT_NE(AirSpaceManager::getAirSpace(lat, -140, 30000), nullptr) << lat;
    EXPECT_EQ(AirSpaceManager::getAirSpace(46, -140, 30000), nullptr);
}

TEST_F(AirSpaces, NewAirSpaceReportsOnlyACrossing) {
    // Two neighbouring squares, west and east of 100 W.
    ASSERT_TRUE(loadText(controller("Westside", "FREQ 12835\n", {{39, -102}, {39, -100}, {41, -100}, {41, -102}}) +
                         controller("Eastside", "FREQ 13260\n", {{39, -100}, {39, -98}, {41, -98}, {41, -100}})));
    AirSpace* west = AirSpaceManager::airSpaces[0].get();
    AirSpace* east = AirSpaceManager::airSpaces[1].get();
    struct Step {
        double lat, lon;
        AirSpace* expected;
    } const steps[] = {
        {45, -101, nullptr},  // in no airspace
        {40, -101, nullptr},  // the first airspace ever found
        {40.2, -101.5, nullptr},  // staying
        {40, -99, east},      // crossing
        {45, -99, nullptr},   // leaving every airspace
        {40, -99.5, nullptr}, // back into the same one
        {40, -101, west},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << step.lat << "," << step.lon);
        EXPECT_EQ(AirSpaceManager::newAirSpace(step.lat, step.lon, 5000), step.expected);
    }
    AirSpaceManager::clear();
    EXPECT_EQ(AirSpaceManager::pLastChecked, nullptr);
}

TEST_F(AirSpaces, NearestTransmitterIsLimitedByDistance) {
    // 60 NM across with one frequency: a single site at the centre.
    ASSERT_TRUE(loadText(controller("Boston", "FREQ 13345\n", square(42.5, -71.5, 30))));
    ASSERT_EQ(only().transmitterLocations.size(), 1u);
    const GeoPoint aircraft = AirSpace::projectPoint({42.5, -71.5}, 45, 20);  // about 20 NM from the site
    struct Case {
        int maxDistance;
        int frequency;
    } const cases[] = {{10, 0}, {19, 0}, {21, 133450}, {100, 133450}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maxDistance);
        const AirSpace* airSpace = nullptr;
        const Transmitter* site =
            AirSpaceManager::findNearestTransmitter(aircraft.latitude, aircraft.longitude, 3000, c.maxDistance, &airSpace);
        EXPECT_EQ(site ? site->frequency : 0, c.frequency);
        EXPECT_EQ(airSpace, site ? &only() : nullptr);
    }
    EXPECT_EQ(AirSpaceManager::findNearestTransmitter(42.5, -74, 3000, 1000), nullptr);  // outside the airspace

    // The same for the aircraft, as Zuruvo ZEV and Traffic Global chatter ask.
    initSimState();
    sim::setDataRef("sim/flightmodel/position/latitude", -1, {formatC("%.8f", aircraft.latitude)});
    sim::setDataRef("sim/flightmodel/position/longitude", -1, {formatC("%.8f", aircraft.longitude)});
    sim::setDataRef("sim/flightmodel/position/elevation", -1, {"-3"});  // below sea level counts as 0 ft
    sampleAircraftPosition();
    const cFrequency center = AirSpaceManager::findNearestCenterTransmitter(100);
    EXPECT_EQ(center.freq, 133450);
    EXPECT_EQ(center.type, "Ctr");
    EXPECT_EQ(center.name, "Boston CENTER");
    const cFrequency none = AirSpaceManager::findNearestCenterTransmitter(10);
    EXPECT_EQ(none.freq, 0);
    EXPECT_EQ(none.type, "");
    EXPECT_EQ(none.name, "");
}

TEST_F(AirSpaces, LoadTakesCustomDataFirstAndOnlyWhenTheSettingIsOn) {
    auto write = [&](const char* relative, const std::string& name) {
        const std::string path = simFolder + relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << controller(name, "FREQ 13345\n", square(42.5, -71.5, 60));
    };
    auto loadedName = [] {
        AirSpaceManager::load();
        return AirSpaceManager::airSpaces.empty() ? std::string() : AirSpaceManager::airSpaces.front()->name;
    };
    gSettings.useXP12Airspace = true;
    EXPECT_EQ(loadedName(), "");  // neither file
    write(AirSpaceManager::DEFAULT_ATC_DAT, "Default");
    EXPECT_EQ(loadedName(), "Default");
    write(AirSpaceManager::CUSTOM_ATC_DAT, "Custom");
    EXPECT_EQ(loadedName(), "Custom");
    gSettings.useXP12Airspace = false;
    EXPECT_EQ(loadedName(), "");
    gSettings.useXP12Airspace = true;
}

TEST_F(AirSpaces, EveryInBandSiteBecomesACenterFacilityAndFreqCsvIsNotRead) {
    ASSERT_TRUE(loadText(controller("Boston", "FREQ 13345\n", square(42.5, -71.5, 30), "0 45000") +
                         "NAME Kansas City\nFACILITY_ID ZKCXYZ\nFREQ 12835\nFREQ 13260\n" +
                         pointLines(square(38.5, -95.0, 150))));
    indexFacilities();
    EXPECT_FALSE(logged("Unable to open " + pluginFolder + "freq.csv"));
    size_t sites = 0;
    for (const auto& airSpace : AirSpaceManager::airSpaces)
        for (const Transmitter& site : airSpace->transmitterLocations) {
            ++sites;
            const Facility* facility = findNearestFacility(site.lat, site.lon, site.frequency, 1);
            ASSERT_NE(facility, nullptr);
            EXPECT_STREQ(facility->type, "Ctr");
            EXPECT_EQ(facility->name, airSpace->name + " CENTER");
            EXPECT_EQ(facility->icaoCode, airSpace->id.substr(0, 4));
            EXPECT_EQ(facility->minAlt, airSpace->minAlt);
            EXPECT_EQ(facility->maxAlt, airSpace->maxAlt);
            EXPECT_EQ(facility->currentVoiceIndex, -1);
        }
    EXPECT_GT(sites, 5u);
    size_t centers = 0;
    for (const Facility* head : facilities)
        for (const Facility* facility = head; facility; facility = facility->next) centers += facility->type == std::string("Ctr");
    EXPECT_EQ(centers, sites);
    EXPECT_EQ(AirSpaceManager::airSpaces.front()->maxAlt, 45000);
    EXPECT_STREQ(findNearestFacility(42.5, -71.5, 133450, 1)->icaoCode, "ZBo");
    EXPECT_STREQ(findNearestFacility(38.5, -95.0, AirSpaceManager::airSpaces.back()->transmitterLocations.front().frequency, 1)
                     ->icaoCode,
                 "ZKCX");

    // Without airspaces the centers come from freq.csv.
    AirSpaceManager::clear();
    indexFacilities();
    EXPECT_TRUE(logged("Unable to open " + pluginFolder + "freq.csv"));
}

TEST_F(AirSpaces, UnreadableFileIsLoggedAndLeavesNothing) {
    EXPECT_FALSE(AirSpaceManager::loadFile(simFolder + "missing/atc.dat"));
    EXPECT_TRUE(logged("WARNING: Unable to open " + simFolder + "missing/atc.dat"));
    EXPECT_TRUE(AirSpaceManager::airSpaces.empty());
}

}  // namespace
