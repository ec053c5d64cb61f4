#include <fstream>

#include "HostFixture.h"
#include "SimState.h"
#include "nav/Airport.h"
#include "nav/Facility.h"
#include "nav/FacilityManager.h"

namespace {

class Facilities : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        initSimState();
        cAirport::removeAllAirports();
        clearFacilities();
    }

    void TearDown() override {
        clearFacilities();
        cAirport::removeAllAirports();
    }

    static void addAirport(const std::string& ident, double lat, double lon, std::vector<cFrequency> frequencies) {
        cAirport airport;
        airport.icaoCode = ident;
        airport.name = ident + " field";
        airport.latitude = lat;
        airport.longtitude = lon;
        airport.frequencies = std::move(frequencies);
        cAirport::addAirport(airport, false);
    }

    void writeFreqCsv(const std::string& text) const { std::ofstream(pluginFolder + "freq.csv") << text; }

    static void placeAircraft(double lat, double lon) {
        sim::setDataRef("sim/flightmodel/position/latitude", -1, {std::to_string(lat)});
        sim::setDataRef("sim/flightmodel/position/longitude", -1, {std::to_string(lon)});
        sampleAircraftPosition();
    }

    static int countOn(int frequency) {
        int count = 0;
        for (Facility* f = facilities[frequency - FACILITY_FREQUENCY_MIN]; f; f = f->next) ++count;
        return count;
    }
};

TEST_F(Facilities, SearchBands) {
    const struct {
        double latitude;
        int distance, first, last;
    } cases[] = {
        {40.5, 100, 37, 43},   // bands 37 to 42
        {89.5, 200, 85, 90},   // reach 4, clamped: 85 to 89
        {-40.5, 100, -43, -37},
        {0.2, 30, -1, 2},      // 30/60 rounds up: reach 2, bands -1 to 1
        {-89.9, 500, -90, -80},
    };
    for (const auto& c : cases) {
        int first, last;
        FacilityManager::searchBands(c.latitude, c.distance, first, last);
        EXPECT_EQ(first, c.first) << c.latitude << " " << c.distance;
        EXPECT_EQ(last, c.last) << c.latitude << " " << c.distance;
    }
}

TEST_F(Facilities, AirportFrequenciesAndTheUnicomRule) {
    addAirport("KAAA", 42, -71, {{122800, "Twr", "A TOWER"}, {122800, "Unicom", "A CTAF"}, {121900, "Gnd", "A GND"}});
    addAirport("KBBB", 42.1, -71, {{122800, "Twr", "B TOWER"}, {122700, "Unicom", "B CTAF"}});
    addAirport("KCCC", 42.2, -71, {{127650, "Atis", "C ATIS"}, {138000, "Clr", "C CLR"}, {122950, "Unicom", "first"},
                                   {122725, "Unicom", "last"}});
    indexFacilities();
    EXPECT_EQ(countOn(122800), 2);  // one per airport: A's unicom is its tower
    EXPECT_EQ(countOn(122700), 1);
    EXPECT_EQ(countOn(127650), 1);
    EXPECT_EQ(std::string(facilities[127650 - FACILITY_FREQUENCY_MIN]->type), "Atis");
    EXPECT_EQ(countOn(122950), 0);  // the last unicom of an airport wins
    ASSERT_EQ(countOn(122725), 1);
    const Facility* unicom = facilities[122725 - FACILITY_FREQUENCY_MIN];
    EXPECT_STREQ(unicom->icaoCode, "KCCC");
    EXPECT_STREQ(unicom->name, "last");
    EXPECT_EQ(unicom->maxAlt, 60000);
    EXPECT_EQ(unicom->currentVoiceIndex, -1);
    EXPECT_TRUE(logged("Unable to open " + pluginFolder + "freq.csv"));  // no airspace, no file
}

TEST_F(Facilities, NearestOnAFrequencyIsWithinAnExclusiveRange) {
    // Ten and sixty NM north of the aircraft at 42 N, 71 W.
    addAirport("NEAR", 42 + 10 / 60.0, -71, {{118500, "Twr", "NEAR TOWER"}});
    addAirport("FAR", 42 + 60 / 60.0, -71, {{118500, "Twr", "FAR TOWER"}});
    indexFacilities();
    const double near = distanceLatLon(42, -71, 42 + 10 / 60.0, -71, 'N');
    const struct {
        double range;
        const char* found;
    } cases[] = {{50, "NEAR"}, {100, "NEAR"}, {near, nullptr}, {near + 1e-6, "NEAR"}};
    for (const auto& c : cases) {
        Facility* facility = findNearestFacility(42, -71, 118500, c.range);
        EXPECT_STREQ(facility ? facility->icaoCode : nullptr, c.found) << c.range;
    }
    EXPECT_EQ(findNearestFacility(42, -71, 107999, 500), nullptr);
    EXPECT_EQ(findNearestFacility(42, -71, 138000, 500), nullptr);
}

TEST_F(Facilities, FreqCsvCentersAndInvalidLines) {
    writeFreqCsv(
        "Type,ICAO,Name,Frequency MHz,Latitude,Longitude\n"
        "Ctr,KZNY,NEW YORK CENTER,128.45,40.7,-74.0\r\n"
        "Ctr,KZNY,,128.45,40.7,-74.0\n"
        "\n"
        "Ctr,ZBW,BOSTON CENTER,133.4,42.7,-71.5\n"
        "Ctr,ZBW,BOSTON CENTER,127.62,42.7,-71.5\n"
        "Ctr,ZBW,OFF BAND,139.1,42.7,-71.5\n"
        "Ctr,ZBW,NO POSITION,124.85,north,-71.5\n"
        "Ctr,ZBW,OFF THE EARTH,124.875,42e735,-71.5\n"
        "Ctr,ZBWXYZ," + std::string(60, 'N') + ",124.85,42,-71\n"
        "Ctr,ZBW," + std::string(3000, 'N') + ",124.9,42,-71\n"
        "just,three,fields\n");
    loadFreqCSV();
    ASSERT_EQ(countOn(128450), 1);
    const Facility* center = facilities[128450 - FACILITY_FREQUENCY_MIN];
    EXPECT_STREQ(center->type, "Ctr");
    EXPECT_STREQ(center->name, "NEW YORK CENTER");
    EXPECT_DOUBLE_EQ(center->lat, 40.7);
    EXPECT_EQ(countOn(133400), 1);
    EXPECT_EQ(countOn(127625), 1);
    EXPECT_EQ(countOn(124850), 1);  // the long name is cut, the ident too
    EXPECT_STREQ(facilities[124850 - FACILITY_FREQUENCY_MIN]->icaoCode, "ZBWX");
    EXPECT_EQ(strlen(facilities[124850 - FACILITY_FREQUENCY_MIN]->name), 49u);
    const std::string path = pluginFolder + "freq.csv";
    EXPECT_TRUE(logged("Invalid frequency entry at line 3 in " + path));
    EXPECT_TRUE(logged("Invalid frequency entry at line 8 in " + path));
    EXPECT_EQ(countOn(124900), 0);  // a line longer than 2000 bytes is cut short of its fields
    EXPECT_EQ(countOn(124875), 0);  // a position off the Earth
    EXPECT_TRUE(logged("Invalid frequency entry at line 9 in " + path));
    EXPECT_TRUE(logged("Invalid frequency entry at line 11 in " + path));
    EXPECT_TRUE(logged("Invalid frequency entry at line 12 in " + path));
    EXPECT_FALSE(logged("Invalid frequency entry at line 1 in " + path));  // the header
    EXPECT_FALSE(logged("Invalid frequency entry at line 7 in " + path));  // off the band: dropped quietly
}

TEST_F(Facilities, NearestByTypeOrdersByDistanceAndKeepsTies) {
    placeAircraft(42, -71);
    // 55 towers 1 to 55 NM north; two unicoms at exactly the same place.
    for (int i = 1; i <= 55; ++i)
        addAirport("T" + std::to_string(100 + i), 42 + i / 60.0, -71, {{118000 + i * 25, "Twr", "TOWER"}});
    addAirport("UA", 42.5, -71, {{122700, "Unicom", "first"}});
    addAirport("UB", 42.5, -71, {{122725, "Unicom", "second"}});
    addAirport("GND", 42, -71.1, {{121900, "Gnd", "GROUND"}});
    indexFacilities();

    Facility* nearest[64];
    ASSERT_EQ(getNearestFacilities(nearest, 40, 100, FILTER_TWR), 40);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(nearest[i]->freq, 118000 + (i + 1) * 25) << i;
    EXPECT_EQ(getNearestFacilities(nearest, 64, 100, FILTER_TWR), 55);
    EXPECT_EQ(getNearestFacilities(nearest, 64, 20.5, FILTER_TWR), 20);
    EXPECT_NEAR(nearest[2]->currentDistance, 3.0, 0.01);

    FacilityDistances found;
    FacilityManager::getNearestFacilityByType(FILTER_UNICOM, 100, found);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_STREQ(found.begin()->second->name, "first");  // UA comes first in the airport map
    FacilityManager::getNearestFacilityByType(FILTER_GND | FILTER_UNICOM, 100, found);
    EXPECT_STREQ(found.begin()->second->type, "Gnd");
    FacilityManager::getNearestFacilityByFreq(118050, 100, found);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NEAR(found.begin()->first, 2.0, 0.01);
    EXPECT_NEAR(found.begin()->second->currentDistance, 2.0, 0.01);
}

// Far north a degree of longitude is short: stations due east are found as
// far as their great-circle distance allows, and across the date line.
TEST_F(Facilities, ReachAlongALatitudeCircle) {
    placeAircraft(65, 179.5);
    const double oneDegree = distanceLatLon(65, 179.5, 65, 180.5, 'N');
    const double inside = 99.5 / oneDegree, outside = 100.5 / oneDegree;
    addAirport("EAST", 65, 179.5 + inside - 360, {{118000, "Twr", "IN"}});
    addAirport("WEST", 65, 179.5 - inside, {{118025, "Twr", "IN"}});
    addAirport("FAR", 65, 179.5 + outside - 360, {{118050, "Twr", "OUT"}});
    addAirport("POLE", 89.9, 0, {{118075, "Twr", "OUT"}});
    indexFacilities();
    FacilityDistances found;
    FacilityManager::getNearestFacilityByType(FILTER_TWR, 100, found);
    ASSERT_EQ(found.size(), 2u);
    for (const auto& entry : found) EXPECT_STREQ(entry.second->name, "IN");
}

}  // namespace
