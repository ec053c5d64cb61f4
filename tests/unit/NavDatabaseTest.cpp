// The stand-in simulator's navigation database: nav.dat rows in both layouts,
// airports from the scenery's apt.dat files, the SDK's search rules and the
// magnetic variation a scenario sets.
#include <cmath>

#include "AirportFixture.h"
#include "NavDatabase.h"
#include "host/XplmNavigation.h"

namespace {

class NavDatabase : public AirportTest {
protected:
    void SetUp() override {
        AirportTest::SetUp();
        sim::resetNavDatabase();
    }
    void TearDown() override {
        variation({"14.5"});
        AirportTest::TearDown();
    }
    static void variation(const sim::Args& args) { sim::findStep("magnetic-variation")->run(args); }

    static sim::NavEntry info(XPLMNavRef ref) {
        sim::NavEntry entry;
        char id[32], name[256], region = 0;
        XPLMGetNavAidInfo(ref, &entry.type, &entry.latitude, &entry.longitude, &entry.height, &entry.frequency,
                          &entry.heading, id, name, &region);
        entry.id = id;
        entry.name = name;
        return entry;
    }
};

TEST_F(NavDatabase, RowsOfBothLayouts) {
    struct Case {
        int version;
        const char* row;
        int type;
        const char* id;
        const char* name;
        int frequency;
        float heading;
    } cases[] = {
        {810, "2  42.27375000 -071.04916667      0   375  50    0.0 BO   MILTT NDB", xplm_Nav_NDB, "BO", "MILTT NDB", 375, 0},
        {810, "3  42.35744444 -070.98955556     20 11270 130  -16.0 BOS  BOSTON VOR-DME", xplm_Nav_VOR, "BOS",
         "BOSTON VOR-DME", 11270, -16},
        {810, "4  42.38221500 -070.99672000     18 11030  40      19.682 IBOS KBOS 04R ILS-cat-III", xplm_Nav_ILS,
         "IBOS", "KBOS 04R ILS-cat-III", 11030, 19.682f},
        {810, "5  42.58147200 -070.91029400     75 11050  18     140.738 IBVY KBVY 16  LOC", xplm_Nav_Localizer,
         "IBVY", "KBVY 16 LOC", 11050, 140.738f},
        {810, "6  41.24929400 -070.06794700     32 10910  10  300044.898 IRNE KACK 06  GS", xplm_Nav_GlideSlope,
         "IRNE", "KACK 06 GS", 10910, 44.898f},
        {810, "12  41.24649200 -070.07444700     28 10910  18       0.000 IRNE KACK 06  DME-ILS", xplm_Nav_DME,
         "IRNE", "KACK 06 DME-ILS", 10910, 0},
        {1200, "2  38.08777778 -077.32491667      0   396  25    0.000   APH ENRT K6 A P HILL NDB", xplm_Nav_NDB,
         "APH", "A P HILL NDB", 396, 0},
        {1200, "3  47.43538889 -122.30961111    400 11680 130   19.000 SEA ENRT K1 SEATTLE VORTAC", xplm_Nav_VOR,
         "SEA", "SEATTLE VORTAC", 11680, 19},
        {1200, "4  47.43433300 -122.30630000    354 11030  18   59220.343 ISNQ KSEA K1 16L ILS-cat-I", xplm_Nav_ILS,
         "ISNQ", "KSEA 16L ILS-cat-I", 11030, 180.343f},
        {1200, "6  47.46500000 -122.31000000    354 11030  10 300059220.343 ISNQ KSEA K1 16L GS", xplm_Nav_GlideSlope,
         "ISNQ", "KSEA 16L GS", 11030, 180.343f},
        {1200, "12  47.43400000 -122.30600000    354 11030  18   0.000 ISNQ KSEA K1 16L DME-ILS", xplm_Nav_DME, "ISNQ",
         "KSEA 16L DME-ILS", 11030, 0},
        {1200, "13  47.43400000 -122.30600000    354 11680 130   0.000 SEA ENRT K1 SEATTLE DME", xplm_Nav_DME, "SEA",
         "SEATTLE DME", 11680, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        sim::NavEntry entry;
        ASSERT_TRUE(sim::parseNavRow(c.row, c.version, entry));
        EXPECT_EQ(entry.type, c.type);
        EXPECT_EQ(entry.id, c.id);
        EXPECT_EQ(entry.name, c.name);
        EXPECT_EQ(entry.frequency, c.frequency);
        EXPECT_NEAR(entry.heading, c.heading, 0.01);
    }
    sim::NavEntry entry;
    EXPECT_FALSE(sim::parseNavRow("99", 810, entry));
    EXPECT_FALSE(sim::parseNavRow("14  47.4 -122.3 354 61 0 180.0 R16CY KSEA K1 16L LPV", 1200, entry));
    EXPECT_FALSE(sim::parseNavRow("3 42.3 -70.9", 810, entry));
}

TEST_F(NavDatabase, SearchesAirportsOfTheSceneryAndNavAids) {
    writeFile(SCENERY_PACKS, "I\n1000 Version\nSCENERY_PACK Custom Scenery/Override/\nSCENERY_PACK *GLOBAL_AIRPORTS*\n");
    writeFile("Custom Scenery/Override/Earth nav data/apt.dat",
              "1 100 0 0 KAAA Alpha Custom\n1302 datum_lat 42.5\n1302 datum_lon -71.5\n"
              "102 H1 10 10 0 15 15 1 2 0 0.25 0\n99\n");
    writeFile(DEFAULT_APT, "1 20 0 0 KAAA Alpha Default\n102 H1 42.0 -71.0 0 15 15 1 2 0 0.25 0\n"
                           "1 30 0 0 KBBB Bravo\n" + runwayRow("09", 42.0, -71.2, "27", 42.0, -71.1) + "99\n");
    writeFile("Resources/default data/earth_nav.dat",
              "I\n810 Version\n"
              "3  42.35744444 -070.98955556     20 11270 130  -16.0 BOS  BOSTON VOR-DME\n"
              "4  42.0 -71.1 30 11030  18  90.0 IBBB KBBB 09  ILS-cat-I\n"
              "4  42.0 -71.2 30 11150  18 270.0 IBBZ KBBB 27  ILS-cat-I\n"
              "2  42.1 -71.0 0 375  50    0.0 BO   MILTT NDB\n99\n");

    float lat = 42.49f, lon = -71.49f;
    const XPLMNavRef nearest = XPLMFindNavAid(nullptr, nullptr, &lat, &lon, nullptr, xplm_Nav_Airport);
    const sim::NavEntry alpha = info(nearest);
    EXPECT_EQ(alpha.type, xplm_Nav_Airport);
    EXPECT_EQ(alpha.id, "KAAA");
    EXPECT_EQ(alpha.name, "Alpha Custom");  // the first listed pack wins
    EXPECT_FLOAT_EQ(alpha.latitude, 42.5f);
    EXPECT_EQ(alpha.height, 100);

    lat = 42.0f;
    lon = -71.16f;
    EXPECT_EQ(info(XPLMFindNavAid(nullptr, nullptr, &lat, &lon, nullptr, xplm_Nav_Airport)).id, "KBBB");
    const sim::NavEntry bravo = info(XPLMFindNavAid(nullptr, "KBBB", nullptr, nullptr, nullptr, xplm_Nav_Airport));
    EXPECT_FLOAT_EQ(bravo.longitude, -71.15f);  // the middle of its first runway

    // A runway's ILS is found by the airport and runway in its name.
    const sim::NavEntry ils = info(XPLMFindNavAid("KBBB 27", nullptr, &lat, &lon, nullptr, xplm_Nav_ILS + xplm_Nav_Localizer));
    EXPECT_EQ(ils.id, "IBBZ");
    EXPECT_EQ(ils.frequency, 11150);
    EXPECT_FLOAT_EQ(ils.heading, 270);

    int frequency = 11030;
    EXPECT_EQ(info(XPLMFindNavAid(nullptr, nullptr, &lat, &lon, &frequency, xplm_Nav_ILS)).id, "IBBB");
    frequency = 11270;
    EXPECT_EQ(info(XPLMFindNavAid("boston", nullptr, nullptr, nullptr, &frequency, xplm_Nav_VOR)).id, "BOS");
    // Without a position the last match counts.
    EXPECT_EQ(info(XPLMFindNavAid(nullptr, "BO", nullptr, nullptr, nullptr, xplm_Nav_VOR + xplm_Nav_NDB)).id, "BO");
    EXPECT_EQ(XPLMFindNavAid("nowhere", nullptr, &lat, &lon, nullptr, xplm_Nav_Airport), XPLM_NAV_NOT_FOUND);
    EXPECT_EQ(XPLMFindNavAid(nullptr, nullptr, &lat, &lon, nullptr, xplm_Nav_Fix), XPLM_NAV_NOT_FOUND);
    EXPECT_EQ(info(XPLM_NAV_NOT_FOUND).type, xplm_Nav_Unknown);
    EXPECT_EQ(info(100000).id, "");

    // Updated navigation data in Custom Data replaces the simulator's own.
    writeFile("Custom Data/earth_nav.dat", "I\n1200 Version\n"
                                           "3  42.0 -71.0 20 11300 130 -16.0 NEW ENRT K6 NEW VOR\n99\n");
    sim::resetNavDatabase();
    EXPECT_EQ(info(XPLMFindNavAid(nullptr, nullptr, &lat, &lon, nullptr, xplm_Nav_VOR)).id, "NEW");
}

TEST_F(NavDatabase, MagneticVariationEverywhereOrNearestGivenPosition) {
    variation({"-10"});
    EXPECT_FLOAT_EQ(XPLMGetMagneticVariation(0, 0), -10);
    variation({"42.36", "-71.0", "14.5"});
    variation({"47.45", "-122.3", "-15.5"});
    EXPECT_FLOAT_EQ(XPLMGetMagneticVariation(42.0, -72.0), 14.5f);
    EXPECT_FLOAT_EQ(XPLMGetMagneticVariation(45.0, -120.0), -15.5f);
    variation({"3"});
    EXPECT_FLOAT_EQ(XPLMGetMagneticVariation(47.45, -122.3), 3);
    EXPECT_THROW(variation({"1", "2"}), std::runtime_error);
}

}  // namespace
