// Quillon.ini and the sampled simulator state, through the real plug-in.
#include "SimRun.h"

namespace {

TEST(SettingsFile, CreatedWithDefaultsAndSavedAtStop) {
    SimRun run;
    ASSERT_FALSE(std::filesystem::exists(run.plugin + "Quillon.ini"));
    ASSERT_EQ(run.run("end 0.5\n"), 0) << run.stdoutText;
    const std::string ini = SimRun::readFile(run.plugin + "Quillon.ini");
    EXPECT_EQ(ini.rfind("CHATTER_VOLUME 0.900000\nVOICE_VOLUME 0.900000\n", 0), 0u) << ini;
    EXPECT_NE(ini.find("\nAUDIO_DEVICE X-Plane Audio\n"), std::string::npos);

    // The user's values survive a run, written back in the canonical form.
    std::ofstream(run.plugin + "Quillon.ini") << "minimum_delay 7\nCHATTER_VOLUME 0.3\nunknown words here\n";
    ASSERT_EQ(run.run("end 0.5\n"), 0) << run.stdoutText;
    const std::string saved = SimRun::readFile(run.plugin + "Quillon.ini");
    EXPECT_NE(saved.find("CHATTER_VOLUME 0.300000\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("MINIMUM_DELAY 7\n"), std::string::npos);
    EXPECT_EQ(saved.find("unknown"), std::string::npos);
}

TEST(SimulatorState, RadioChangesAreSampledInTheSameFrame) {
    SimRun run;
    std::ofstream(run.plugin + "Quillon.ini") << "DEBUG_OUTPUT 1\n";
    EXPECT_EQ(run.run(R"(end 1.5
at 1.0 set sim/cockpit2/radios/actuators/com1_frequency_hz_833 118250
at 1.0 set sim/cockpit2/electrical/bus_volts[0] 0
expect-log "Radios: COM1 121900, COM2 135000, chatter frequency 121900, power on" before 0.1
expect-log "Radios: COM1 118250, COM2 135000, chatter frequency 118250, power off" before 1.03
expect-log "Shutdown started"
)"),
              0)
        << run.stdoutText;
}

TEST(SimulatorState, XPlane11HasNoATCForTheSettingToFollow) {
    SimRun run;
    std::ofstream(run.plugin + "Quillon.ini") << "USE_X-PLANE_ATC 1\n";
    EXPECT_EQ(run.run("end 0.3\n"
                      "expect-log \"Use X-Plane ATC was enabled but this version of X-Plane does not have the new ATC "
                      "voice capabilities\"\n",
                      {"--xp11"}),
              0)
        << run.stdoutText;
    EXPECT_NE(SimRun::readFile(run.plugin + "Quillon.ini").find("USE_X-PLANE_ATC 0\n"), std::string::npos);
}

}  // namespace
