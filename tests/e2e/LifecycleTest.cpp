// The real plug-in loaded by simhost: identity, start, the chatter thread,
// messages, shutdown, and what the library exports.
#include <algorithm>
#include <regex>

#include "SimRun.h"

namespace {

TEST(Lifecycle, StartsChattersAndShutsDownInOrder) {
    SimRun run;
    EXPECT_EQ(run.run(R"(end 1.5
expect-log-order "Initialization complete for version 1.7.4 Beta 5" "Chatter Started" "Disabled" "Quillon has shut down"
at 0.5 message 109
at 0.6 message 110
at 0.7 message 102 3
expect-log "Entering VR Mode" before 0.6
expect-log "Exiting VR Mode" before 0.7
expect-no-log "Error in"
)"),
              0)
        << run.stdoutText;
    const auto lines = run.logLines();
    ASSERT_FALSE(lines.empty());
    const std::regex form("[0-2][0-9]:[0-5][0-9]:[0-5][0-9] Quillon: .+");
    for (const auto& line : lines) EXPECT_TRUE(std::regex_match(line, form)) << line;
    EXPECT_NE(run.stdoutText.find("started Quillon Player (Orvan.Quillon)"), std::string::npos) << run.stdoutText;
}

TEST(Lifecycle, StopWhileTheChatterThreadWaitsJoinsItPromptly) {
    SimRun run;
    EXPECT_EQ(run.run("end 0.8\nexpect-log \"Chatter Started\" before 0.1\nexpect-stop-within 0.15\n"), 0)
        << run.stdoutText;
}

TEST(Lifecycle, PluginOutsideAPluginsFolderIsLoggedNotFatal) {
    SimRun run;
    const std::string elsewhere = run.root + "elsewhere/Quillon.xpl";
    std::filesystem::create_directories(run.root + "elsewhere");
    std::filesystem::copy(run.plugin + "lin_x64/Quillon.xpl", elsewhere);
    EXPECT_EQ(run.run("end 0.3\nexpect-log \"Unable to determine the plugin directory\"\n"
                      "expect-log \"Quillon has shut down\"\n",
                      {"--plugin", elsewhere}),
              0)
        << run.stdoutText;
}

TEST(Exports, OnlyTheFiveEntryPointsAndNoSdkDefinitions) {
    const std::string xpl = std::string(PLUGIN_DIR) + "/lin_x64/Quillon.xpl";
    auto symbols = [&](const char* which) {
        std::string out;
        FILE* pipe = popen(("nm -D " + std::string(which) + " " + SimRun::quote(xpl)).c_str(), "r");
        char line[512];
        while (pipe && fgets(line, sizeof line, pipe)) out += line;
        if (pipe) pclose(pipe);
        return out;
    };
    std::string defined = symbols("--defined-only");
    std::vector<std::string> names;
    std::stringstream stream(defined);
    std::string address, type, name;
    while (stream >> address >> type >> name) names.push_back(name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"XPluginDisable", "XPluginEnable", "XPluginReceiveMessage",
                                               "XPluginStart", "XPluginStop"}))
        << defined;
    std::string undefined = symbols("--undefined-only");
    EXPECT_NE(undefined.find(" U XPLMDebugString"), std::string::npos);
    EXPECT_NE(undefined.find(" U XPLMRegisterFlightLoopCallback"), std::string::npos);
    // The C++ runtime is inside the plug-in, not taken from the simulator.
    EXPECT_EQ(undefined.find("GLIBCXX"), std::string::npos) << undefined;
}

}  // namespace
