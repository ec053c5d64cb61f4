// The demo world's center airspace, loaded by the real plug-in at start.
#include <fstream>

#include "SimRun.h"

namespace {

TEST(AirSpaces, DemoWorldCenterIsLoadedAtStart) {
    SimRun run;
    run.installWorld();
    std::ofstream(run.plugin + "Quillon.ini") << "DEBUG_OUTPUT 1\n";
    EXPECT_EQ(run.run(R"(end 0.5
expect-log-order "Loaded 1 center airspaces with [0-9]+ transmitter sites from .*/Resources/default scenery/1200 atc data/Earth nav data/atc.dat" "Initialization complete" "Quillon has shut down"
expect-no-log "WARNING"
expect-no-log "Error in"
)"),
              0)
        << run.stdoutText;
}

TEST(AirSpaces, SettingOffLoadsNothing) {
    SimRun run;
    run.installWorld();
    std::ofstream(run.plugin + "Quillon.ini") << "DEBUG_OUTPUT 1\nUSE_XP12_AIRSPACE 0\n";
    EXPECT_EQ(run.run("end 0.3\nexpect-no-log \"center airspaces\"\nexpect-log \"Quillon has shut down\"\n"), 0)
        << run.stdoutText;
}

}  // namespace
