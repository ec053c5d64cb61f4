// Other ATC add-ons as the real plug-in sees them in simhost.
#include "SimRun.h"

namespace {

TEST(Integrations, PublishedDataRefsAreWritableByOtherPlugins) {
    SimRun run;
    EXPECT_EQ(run.run(R"(end 1.0
at 0.2 set Orvan/Quillon/integration/mode 7
at 0.2 set Orvan/Quillon/xlife/icao_now KBOS
at 0.3 expect-dataref Orvan/Quillon/integration/mode == 7
at 0.3 expect-dataref Orvan/Quillon/xlife/icao_now == KBOS
at 0.3 set Orvan/Quillon/external_pause 1
at 0.4 message 102 0
at 0.5 expect-dataref Orvan/Quillon/external_pause == 0
)"),
              0)
        << run.stdoutText;
    // Unregistered at stop: nothing of ours is left behind.
    EXPECT_EQ(run.stdoutText.find("registered twice"), std::string::npos);
}

TEST(Integrations, SayIntentionsWithoutItsSettingIsPointedOutOnce) {
    SimRun run;
    EXPECT_EQ(run.run(R"(end 1.0
define siai/atc_master_off int 0
expect-log "Warning: You appear to be using SayIntentions.AI ATC but that integration is not selected in the Quillon settings." before 0.2
)"),
              0)
        << run.stdoutText;
    int warnings = 0;
    for (const auto& line : run.logLines()) warnings += line.find("SayIntentions.AI ATC") != std::string::npos;
    EXPECT_EQ(warnings, 1);
}

TEST(Integrations, XPlaneATCAutoTuningIsWarnedAbout) {
    const std::string warning =
        "expect-log \"WARNING: X-Plane ATC Auto Tune Radios appears to be enabled.\"\nend 0.3\n";
    const std::string preferences = "file \"Output/preferences/Miscellaneous.prf\" \"I\\n1100 Version\\nauto_tune_for_atc 1\\n\"\n";
    SimRun run;
    EXPECT_EQ(run.run(preferences + warning), 0) << run.stdoutText;
    // Following X-Plane's ATC is what the user wants then.
    EXPECT_EQ(run.run(preferences + "file \"Resources/plugins/Quillon/Quillon.ini\" \"USE_X-PLANE_ATC 1\"\n" +
                      "expect-no-log \"Auto Tune\"\nend 0.3\n"),
              0)
        << run.stdoutText;
}

}  // namespace
