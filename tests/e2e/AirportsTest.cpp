// The airport database of the demo world through the real plug-in: a rebuild
// in scenery priority order, the cache on later starts, a scenery change.
#include "SimRun.h"

namespace {

TEST(Airports, DemoWorldRebuildsThenLoadsFromTheCache) {
    SimRun run;
    run.installWorld();
    const std::string customPack = run.sim + "Custom Scenery/Quillon Demo - KOWD Norwood/Earth nav data/apt.dat";
    ASSERT_EQ(run.run("end 0.3\n"
                      "expect-log-order \"Processing: .*Quillon Demo - KOWD Norwood/Earth nav data/apt.dat\" "
                      "\"Processing: .*Resources/default scenery/default apt dat/Earth nav data/apt.dat\" "
                      "\"Refreshed airports.dat in 0 seconds\" \"Initialization complete\"\n"
                      "expect-no-log \"Global Airports\"\n"),
              0)
        << run.stdoutText;
    const std::string cache = SimRun::readFile(run.plugin + "airports.dat");
    ASSERT_GE(cache.size(), 8u);
    EXPECT_EQ(cache.substr(0, 8), std::string("\x0a\0\0\0\x0d\x01\0\0", 8));  // version 10, 269 airports
    EXPECT_NE(cache.find("Norwood Memorial"), std::string::npos);  // the custom pack's KOWD
    EXPECT_EQ(cache.find("NORWOOD MEM"), std::string::npos);

    // With the refresh setting off the first start records the scenery list, later ones read the cache.
    std::ofstream(run.plugin + "Quillon.ini") << "REFRESH_FACILITIES_ON_START 0\n";
    ASSERT_EQ(run.run("end 0.3\nexpect-log \"Refreshed airports.dat\"\n"), 0) << run.stdoutText;
    EXPECT_EQ(SimRun::readFile(run.plugin + "last_scenery_packs.ini"),
              SimRun::readFile(run.sim + "Custom Scenery/scenery_packs.ini"));
    ASSERT_EQ(run.run("end 0.3\nexpect-log \"Loading 269 airports from .*/Quillon/airports.dat\"\n"
                      "expect-no-log \"Processing\"\n"),
              0)
        << run.stdoutText;

    std::ofstream(run.sim + "Custom Scenery/scenery_packs.ini", std::ios::app) << "SCENERY_PACK Custom Scenery/New/\n";
    ASSERT_EQ(run.run("end 0.3\nexpect-log-order \"Detected changes to custom scenery, airport database will be "
                      "rebuilt.\" \"Refreshed airports.dat\"\n"),
              0)
        << run.stdoutText;
}

TEST(Airports, DamagedCacheIsLoggedAndTheSimulatorRunsOn) {
    SimRun run;
    run.installWorld();
    std::ofstream(run.plugin + "Quillon.ini") << "REFRESH_FACILITIES_ON_START 0\n";
    ASSERT_EQ(run.run("end 0.2\n"), 0) << run.stdoutText;  // records the scenery list, writes the cache
    std::string cache = SimRun::readFile(run.plugin + "airports.dat");
    ASSERT_GT(cache.size(), 40000u);
    cache.resize(40000);
    std::ofstream(run.plugin + "airports.dat", std::ios::binary) << cache;
    ASSERT_EQ(run.run("end 0.3\nexpect-log \"Unexpected Error reading (airport|frequency|runway|starting)\"\n"
                      "expect-log \"Chatter Started\"\nexpect-no-log \"Error in\"\n"),
              0)
        << run.stdoutText;
}

}  // namespace
