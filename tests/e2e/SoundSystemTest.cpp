// The real plug-in starts its sound output on the first frame: on the
// simulator's sound bus when it has one, otherwise on OpenAL (here OpenAL
// Soft writing to a file), and ships the static-noise loop it needs.
#include <cstdlib>

#include "SimRun.h"

namespace {

TEST(SoundSystem, StartsOnTheSoundBusWhenTheSimulatorHasOne) {
    SimRun run;
    EXPECT_TRUE(std::filesystem::file_size(run.plugin + "static.mp3") > 10000);
    EXPECT_EQ(run.run("end 0.5\n"
                      "expect-log \"Using X-Plane FMOD Sound System\" before 0.1\n"
                      "expect-log-order \"Using X-Plane FMOD Sound System\" \"Chatter Started\"\n"
                      "expect-no-log \"OpenAL\"\n"),
              0)
        << run.stdoutText;
}

TEST(SoundSystem, FallsBackToOpenAlWithoutTheSoundBus) {
    SimRun run;
    const std::string conf = run.root + "alsoft.conf", capture = run.root + "openal.wav";
    std::ofstream(conf) << "[general]\ndrivers = wave\n[wave]\nfile = " << capture << "\n";
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    const int status = run.run("end 0.5\n"
                               "expect-log \"Found the default OpenAL Device and created a new context\" before 0.1\n"
                               "expect-no-log \"OpenaAL Error\"\n"
                               "expect-no-log \"FMOD\"\n",
                               {"--no-sound-bus"});
    unsetenv("ALSOFT_CONF");
    EXPECT_EQ(status, 0) << run.stdoutText;
    // The device was closed at stop, which completes the file.
    const std::string written = SimRun::readFile(capture);
    ASSERT_GT(written.size(), 44u);
    EXPECT_EQ(written.substr(0, 4), "RIFF");
}

}  // namespace
