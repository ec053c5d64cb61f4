// What the rest of the plug-in asks an airport: frequencies with their
// fall-backs, runways and headings, the runway for the wind, the gate, the
// nearest airport and the aircraft's place in the traffic pattern.
#include <cmath>

#include "AirportFixture.h"
#include "Settings.h"
#include "SimState.h"
#include "atc/Transmission.h"
#include "NavDatabase.h"

namespace {

class AirportQuery : public AirportTest {
protected:
    void SetUp() override {
        AirportTest::SetUp();
        gSettings = Settings();
        initSimState();
        variation({"0"});
        set("sim/flightmodel/position/magnetic_variation", {"0"});
    }
    void TearDown() override {
        variation({"14.5"});
        AirportTest::TearDown();
    }

    static void variation(const sim::Args& args) { sim::findStep("magnetic-variation")->run(args); }
    static void set(const std::string& name, std::vector<std::string> values) {
        std::string base;
        int index;
        sim::parseDataRefName(name, base, index);
        sim::setDataRef(base, index, values);
    }
    static void aircraftAt(double latitude, double longitude, double feet = 0, double heading = 0) {
        set("sim/flightmodel/position/latitude", {formatC("%.10f", latitude)});
        set("sim/flightmodel/position/longitude", {formatC("%.10f", longitude)});
        set("sim/flightmodel/position/elevation", {formatC("%.6f", feet / 3.28083992)});
        set("sim/flightmodel/position/mag_psi", {formatC("%.3f", heading)});
        sampleAircraftPosition();
    }
    // The wind of every layer, from a magnetic direction (the variation is 0) and a speed in knots.
    static void wind(double direction, double knots) {
        const std::string speed = formatC("%.6f", knots / 1.94384);
        set("sim/weather/region/wind_altitude_msl_m", std::vector<std::string>(10, "3000"));
        set("sim/weather/region/wind_speed_msc", std::vector<std::string>(10, speed));
        set("sim/weather/region/wind_direction_degt", std::vector<std::string>(10, formatC("%.1f", direction)));
        set("sim/weather/region/shear_speed_msc", std::vector<std::string>(10, "0"));
    }

    static cRunway end(const char* number, const char* opposite, float trueHeading, unsigned length = 5000,
                       RunwayType type = LAND, double latitude = 42, double longitude = -71) {
        cRunway runway;
        runway.number = number;
        runway.oppositeNumber = opposite;
        runway.trueHeading = trueHeading;
        runway.lengthInFeet = length;
        runway.type = type;
        runway.latitude = latitude;
        runway.longitude = longitude;
        return runway;
    }
    static cAirport withFrequencies(std::vector<cFrequency> frequencies) {
        cAirport airport;
        airport.icaoCode = "KTST";
        airport.frequencies = std::move(frequencies);
        return airport;
    }
};

TEST_F(AirportQuery, FrequencyGettersAndTheirFallBacks) {
    std::string type;
    cAirport both = withFrequencies({{122800, "Unicom", "CTAF"}, {118300, "Twr", "TOWER"}});
    EXPECT_EQ(both.getBestTowerFrequency(type).freq, 118300);
    EXPECT_EQ(type, "Tower");
    cAirport unicom = withFrequencies({{122800, "Unicom", "CTAF"}});
    EXPECT_EQ(unicom.getBestTowerFrequency(type).freq, 122800);
    EXPECT_EQ(type, "CTAF");
    EXPECT_EQ(unicom.getBestClearanceFrequency().freq, 0);
    EXPECT_EQ(unicom.getBestGroundFrequency().freq, 122800);
    cAirport none;
    const cFrequency fallback = none.getBestTowerFrequency(type);
    EXPECT_EQ(fallback.freq, 122900);
    EXPECT_EQ(fallback.type, "Unicom");
    EXPECT_EQ(fallback.name, "Unicom");
    EXPECT_EQ(type, "CTAF");
    EXPECT_EQ(none.getBestGroundFrequency().freq, 122900);

    cAirport outOfBand = withFrequencies({{138000, "Twr", "TOWER"}, {107900, "Gnd", "GND"}, {135000, "Atis", "ATIS"}});
    EXPECT_EQ(outOfBand.getTowerFrequency().freq, 0);
    EXPECT_FALSE(outOfBand.isTowered());
    EXPECT_FALSE(outOfBand.hasAtis());
    EXPECT_EQ(outOfBand.getAtisFrequency(), 135000);
    EXPECT_EQ(outOfBand.getGroundFrequency().freq, 0);

    cAirport full = withFrequencies({{135000, "Atis", "ATIS"},
                                     {121900, "Gnd", "GND 1"},
                                     {121700, "Gnd", "GND 2"},
                                     {118250, "Twr", "TWR"},
                                     {133000, "Dep", "DEP"},
                                     {120600, "App", "APP"}});
    EXPECT_EQ(full.getGroundFrequency().name, "GND 1");  // the first of its type
    EXPECT_EQ(full.getBestClearanceFrequency().freq, 121900);
    EXPECT_EQ(full.getApproachOrDeparture().freq, 120600);
    EXPECT_EQ(full.getDepartureOrApproach().freq, 133000);
    EXPECT_TRUE(full.hasAtis());
    EXPECT_TRUE(full.allowRadarServices());
    EXPECT_EQ(withFrequencies({{118250, "Twr", "TWR"}}).getBestClearanceFrequency().freq, 118250);
    EXPECT_EQ(withFrequencies({{118250, "Twr", "TWR"}}).getBestGroundFrequency().freq, 118250);
    EXPECT_EQ(withFrequencies({{133000, "Dep", "DEP"}}).getApproachOrDeparture().freq, 133000);
    EXPECT_FALSE(withFrequencies({{133000, "Dep", "DEP"}}).allowRadarServices());
}

TEST_F(AirportQuery, RunwaysEndPointsAndMagneticHeadings) {
    cAirport airport;
    airport.runways = {end("09", "27", 88, 5000, LAND, 42.0, -71.1), end("27", "09", 268, 5000, LAND, 42.0, -71.0),
                       end("18", "36", 350, 3000, LAND, 42.1, -71.0), end("36", "18", 170, 3000, LAND, 42.0, -71.0)};
    ASSERT_NE(airport.findRunway("27"), nullptr);
    EXPECT_EQ(airport.findRunway("27")->oppositeNumber, "09");
    EXPECT_EQ(airport.findRunway("9"), nullptr);  // exact names only
    EXPECT_EQ(airport.findRunway(""), nullptr);
    airport.m_SelectedRunway = "18";
    EXPECT_EQ(airport.findRunway("")->number, "18");

    const auto points = airport.getRunwayEndPoints("09");
    ASSERT_EQ(points.size(), 2u);
    EXPECT_DOUBLE_EQ(points[0].longitude, -71.1);
    EXPECT_DOUBLE_EQ(points[1].longitude, -71.0);
    EXPECT_TRUE(airport.getRunwayEndPoints("04").empty());

    variation({"15"});
    EXPECT_FLOAT_EQ(airport.getRunwayMagneticHeading("09"), 103);
    EXPECT_FLOAT_EQ(airport.getRunwayMagneticHeading("18"), 5);  // 365 wraps
    EXPECT_FLOAT_EQ(airport.getRunwayMagneticHeading("22L"), 220);
    EXPECT_FLOAT_EQ(airport.getRunwayMagneticHeading("9L"), 90);
    variation({"-20"});
    EXPECT_FLOAT_EQ(airport.findRunway("09")->getMagneticHeading(), 68);
    EXPECT_FLOAT_EQ(airport.findRunway("36")->getMagneticHeading(), 150);

    airport.latitude = 42.5;
    airport.longtitude = -71.0;
    aircraftAt(42.0, -71.0);
    EXPECT_NEAR(airport.getDistance(), 30.0, 0.1);
    EXPECT_NEAR(airport.getRunwayDistance(), 6.0, 0.05);  // from the end of runway 18
    airport.m_SelectedRunway = "04";
    EXPECT_NEAR(airport.getRunwayDistance(), 30.0, 0.1);
}

TEST_F(AirportQuery, RecommendedRunwayForCalmAndWind) {
    cAirport calm;
    calm.elevation = 100;
    calm.runways = {end("09", "27", 88, 5000), end("27", "09", 268, 5000), end("14", "32", 140, 3000),
                    end("32", "14", 320, 3000)};
    wind(240, 2);
    aircraftAt(42, -71, 100, 80);
    EXPECT_EQ(calm.getRecommendedRunway(), "09");
    aircraftAt(42, -71, 100, 250);
    EXPECT_EQ(calm.getRecommendedRunway(), "27");

    cAirport windy;
    windy.runways = {end("H1", "H1", 360, 0, HELIPAD), end("06", "24", 60), end("24", "06", 240), end("15", "33", 150),
                     end("33", "15", 330)};
    wind(240, 12);
    EXPECT_EQ(windy.getRecommendedRunway(), "24");
    wind(20, 12);
    EXPECT_EQ(windy.getRecommendedRunway(), "06");  // 4 off, helipad never
    windy.runways = {end("01", "19", 10), end("19", "01", 190)};
    wind(350, 12);
    EXPECT_EQ(windy.getRecommendedRunway(), "19");  // no wrapping: 01 is 34 off
    EXPECT_EQ(cAirport().getRecommendedRunway(), "");
    gSettings.debugOutput = true;
    cAirport().getRecommendedRunway();
    EXPECT_TRUE(logged("getRecommendedRunway called"));
}

TEST_F(AirportQuery, GateStringOfTheNearestStartLocation) {
    cAirport airport;
    airport.startLocations = {{"A12", 42.3600, -71.0100}, {"GA_RAMP_3", 42.3700, -71.0200}, {"B", 42.3800, -71.0300}};
    aircraftAt(42.3601, -71.0101);
    EXPECT_EQ(airport.getGateString(), "Alpha One Two ");
    aircraftAt(42.3699, -71.0199);
    EXPECT_EQ(airport.getGateString(), "GA RAMP 3");
    aircraftAt(42.3800, -71.0300);
    EXPECT_EQ(airport.getGateString(), "B");
    EXPECT_EQ(cAirport().getGateString(), "");
}

TEST_F(AirportQuery, ClosestAirportInItsModes) {
    EXPECT_EQ(cAirport::getClosestAirport(false, true), nullptr);
    // KAAA's reference point is far, but one of its gates is next to the aircraft; only it has an ICAO code.
    parse("1 20 1 0 KAAA Alpha\n1302 datum_lat 42.10\n1302 datum_lon -71.0\n1302 icao_code KAAA\n"
          "1300 42.001 -71.0 0 gate jets A1\n"
          "1 20 1 0 KBBB Bravo\n1302 datum_lat 42.05\n1302 datum_lon -71.0\n"
          "1 20 1 0 KCCC Charlie\n1302 datum_lat 43.00\n1302 datum_lon -71.0\n99\n");
    aircraftAt(42.0, -71.0);
    EXPECT_EQ(cAirport::getClosestAirport(false, true)->icaoCode, "KBBB");
    EXPECT_EQ(cAirport::getClosestAirport(true, false)->icaoCode, "KAAA");
    EXPECT_EQ(cAirport::getClosestAirport(true, true)->icaoCode, "KAAA");
    // Without a simulator airport nearby, the map decides with gate distances.
    EXPECT_EQ(cAirport::getClosestAirport(false, false)->icaoCode, "KAAA");
    // The simulator's nearest airport wins when the map knows it.
    writeFile(DEFAULT_APT, "1 20 1 0 KCCC Charlie\n1302 datum_lat 42.0\n1302 datum_lon -71.0\n99\n");
    sim::resetNavDatabase();
    EXPECT_EQ(cAirport::getClosestAirport(false, false)->icaoCode, "KCCC");
    writeFile(DEFAULT_APT, "1 20 1 0 KZZZ Unknown\n1302 datum_lat 42.0\n1302 datum_lon -71.0\n99\n");
    sim::resetNavDatabase();
    EXPECT_EQ(cAirport::getClosestAirport(false, false)->icaoCode, "KAAA");
    sim::resetNavDatabase();
}

TEST_F(AirportQuery, PatternPositions) {
    cAirport airport;
    airport.m_SelectedRunway = "27";
    airport.runways = {end("09", "27", 88, 5000, LAND, 42.0, -71.1), end("27", "09", 268, 5000, LAND, 42.0, -71.0)};
    struct Case {
        bool right;
        double heading;
        bool finalLeg, downwind, base, entry45;
    } cases[] = {
        {false, 270, true, false, false, false}, {false, 90, false, true, false, false},
        {false, 0, false, false, true, false},   {false, 355, false, false, true, false},
        {false, 45, false, false, false, true},  {true, 180, false, false, true, false},
        {true, 135, false, false, false, true},  {true, 69, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.right ? "right " : "left ") << c.heading);
        airport.rightPattern = c.right;
        aircraftAt(42, -71, 0, c.heading);
        EXPECT_EQ(airport.isOnFinal(), c.finalLeg);
        EXPECT_EQ(airport.isOnDownWind(), c.downwind);
        EXPECT_EQ(airport.isOnBase(), c.base);
        EXPECT_EQ(airport.isOn45(), c.entry45);
    }
    aircraftAt(42, -71, 0, 355);
    EXPECT_TRUE(airport.isOnHeading(5, 20));
    EXPECT_FALSE(airport.isOnHeading(5, 10));
    aircraftAt(42, -71, 0, 260);
    EXPECT_TRUE(airport.isLinedUp());  // 268 magnetic
    aircraftAt(42, -71, 0, 290);
    EXPECT_FALSE(airport.isLinedUp());
    airport.m_SelectedRunway = "04";
    EXPECT_TRUE(airport.isLinedUp());  // no such runway end
}

TEST_F(AirportQuery, OverheadWhileMovingAwayFromTheRunwayEndAndDescendingDeadSide) {
    cAirport airport;
    airport.m_SelectedRunway = "27";
    airport.runways = {end("27", "09", 268, 5000, LAND, 42.0, -71.0)};
    const double nm = 1.0 / 60;  // of latitude
    struct Step {
        double distance, feet;
        bool overhead;
        double overheadElevation;
    } steps[] = {
        {1.5, 2000, true, 2000},  // starts at 0, so the first call sees the aircraft moving away
        {1.0, 2000, false, 0},    // closing in
        {0.2, 2000, false, 0},
        {0.6, 2100, true, 2100},  // past the runway end, moving away
        {1.8, 2100, true, 2100},
        {2.5, 2100, false, 0},    // too far
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.distance);
        aircraftAt(42.0 + step.distance * nm, -71.0, step.feet);
        EXPECT_EQ(airport.isOverhead(), step.overhead);
        EXPECT_NEAR(airport.overheadElevation, step.overheadElevation, 0.01);
        EXPECT_NEAR(airport.lastOverheadDistance, step.distance, 0.01);
    }
    airport.overheadElevation = 2000;
    aircraftAt(42, -71, 1790);
    EXPECT_TRUE(airport.isDecendingDeadSide());
    aircraftAt(42, -71, 1810);
    EXPECT_FALSE(airport.isDecendingDeadSide());
}

TEST(Phonetic, SpellsLettersDigitsAndSigns) {
    EXPECT_EQ(Transmission::phonetic("a12", false), "Alpha One Two ");
    EXPECT_EQ(Transmission::phonetic("N9/1.5-x", true), "Niner Slant One Decimal Five Xray ");
    EXPECT_EQ(Transmission::phonetic(2047), "Two Zero Four Seven ");
    EXPECT_EQ(Transmission::phonetic("", true), "");
}

}  // namespace
