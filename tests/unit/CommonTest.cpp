#include <clocale>
#include <cmath>
#include <cstring>
#include <regex>
#include <thread>

#include "HostFixture.h"
#include "common/CLocale.h"
#include "common/Guard.h"

namespace {

struct DistanceCase {
    double lat1, lon1, lat2, lon2;
    char unit;
    double expected;
    double tolerance;
};

TEST(Geodesy, HaversineDistances) {
    const DistanceCase cases[] = {
        {42.36, -71.01, 42.36, -71.01, 'N', 0.0, 1e-12},
        {0, 0, 0, 1, 'N', 59.9986, 1e-3},
        {0, 0, 0, 1, 'K', 111.1175, 1e-3},
        {0, 0, 0, 1, 'M', 69.0445, 1e-3},  // any other unit: statute miles
        {0, 0, 1, 0, 'N', 59.9986, 1e-3},
        {42.3656, -71.0096, 40.6398, -73.7789, 'N', 161.87, 0.01},  // Boston Logan to New York JFK
        {0, 179.5, 0, -179.5, 'N', 59.9986, 1e-3},              // across the anti-meridian
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat1 << "," << c.lon1 << " -> " << c.lat2 << "," << c.lon2 << " " << c.unit);
        EXPECT_NEAR(distanceLatLon(c.lat1, c.lon1, c.lat2, c.lon2, c.unit), c.expected, c.tolerance);
    }
}

TEST(Geodesy, VincentyDistanceAndBearingAtSecondPoint) {
    // Flinders Peak to Buninyong, the classic geodetic survey example.
    const double lat1 = -(37 + 57 / 60.0 + 3.72030 / 3600), lon1 = 144 + 25 / 60.0 + 29.52440 / 3600;
    const double lat2 = -(37 + 39 / 60.0 + 10.15610 / 3600), lon2 = 143 + 55 / 60.0 + 35.38390 / 3600;
    double bearing = -1;
    EXPECT_NEAR(getDistanceVincenty(lat1, lon1, lat2, lon2, &bearing), 54972.271, 0.01);
    EXPECT_NEAR(bearing, 307 + 10 / 60.0 + 25.07 / 3600, 1e-3);
    double initial = -1;
    getDistanceVincenty(lat1, lon1, lat2, lon2, nullptr, &initial);
    EXPECT_NEAR(initial, 306 + 52 / 60.0 + 5.37 / 3600, 1e-3);

    // Due north and due east along the equator: bearings 0 and 90.
    EXPECT_NEAR(getDistanceVincenty(0, 0, 1, 0, &bearing), 110574.4, 0.5);
    EXPECT_NEAR(bearing, 0.0, 1e-9);
    EXPECT_NEAR(getDistanceVincenty(0, 0, 0, 1, &bearing), 111319.5, 0.5);
    EXPECT_NEAR(bearing, 90.0, 1e-5);  // pi is taken in single precision
    EXPECT_NEAR(getAbsDistanceVincenty(0, 1, 0, 0, &bearing), 111319.5, 0.5);
    EXPECT_NEAR(bearing, 270.0, 1e-5);
}

TEST(Geodesy, VincentyOfIdenticalPointsIsZeroAndLeavesTheBearing) {
    double bearing = 123.0;
    EXPECT_EQ(getDistanceVincenty(42.36, -71.01, 42.36, -71.01, &bearing), 0.0);
    EXPECT_EQ(bearing, 123.0);
}

TEST(Geodesy, VincentyNearlyAntipodalPointsGiveZeroWhenNotConverging) {
    double bearing = 5.0;
    EXPECT_EQ(getDistanceVincenty(0, 0, 0.5, 179.7, &bearing), 0.0);
    EXPECT_EQ(bearing, 5.0);
}

TEST(Angles, FixAndDiff) {
    const struct {
        double in, out;
    } fixes[] = {{-30, 330}, {360, 0}, {0, 0}, {359.5, 359.5}, {370, 10}, {-360, 0}, {720, 360}};
    for (const auto& c : fixes) EXPECT_DOUBLE_EQ(fixAngle(c.in), c.out) << c.in;

    const struct {
        double a, b, diff;
    } diffs[] = {{350, 10, 20}, {10, 350, 20}, {90, 270, 180}, {0, 181, 179}, {-30, 30, 60}, {45, 45, 0}};
    for (const auto& c : diffs) EXPECT_DOUBLE_EQ(diffAngles(c.a, c.b), c.diff) << c.a << " " << c.b;

    EXPECT_NEAR(metersPerSecondToKnots(10), 19.4384, 1e-9);
    EXPECT_NEAR(rad2deg(deg2rad(123.0)), 123.0, 1e-9);
    EXPECT_NEAR(toDegrees(radians(45.0f)), 45.0f, 1e-4);
}

TEST(Strings, ThousandSeparators) {
    const struct {
        long long n;
        const char* text;
    } cases[] = {{0, "0"},       {123, "123"},       {1234, "1,234"},          {123456, "123,456"},
                 {1234567, "1,234,567"}, {1000, "1,000"}, {999999999, "999,999,999"}};
    for (const auto& c : cases) {
        EXPECT_EQ(thousandSeparator(c.n), c.text);
        EXPECT_EQ(formatWithCommasManual(static_cast<unsigned long long>(c.n)), c.text);
    }
    EXPECT_EQ(formatWithCommasManual(18446744073709551615ULL), "18,446,744,073,709,551,615");
}

TEST(Strings, CountWords) {
    const struct {
        const char* text;
        int words;
    } cases[] = {{"", 0}, {"a", 1}, {"a b", 2}, {"a  b", 3}, {" a", 2}, {"cleared\tto\nland", 3},
                 {"Boston tower, November one two three", 6}};
    for (const auto& c : cases) EXPECT_EQ(countWords(c.text), c.words) << '"' << c.text << '"';
}

TEST(Strings, FindLastWhiteSpace) {
    const char* line = "1300 42.36 -71.01 90.00 gate jets Gate A 12";
    const struct {
        int n;
        const char* rest;
    } cases[] = {{1, "42.36 -71.01 90.00 gate jets Gate A 12"},
                 {4, "gate jets Gate A 12"},
                 {6, "Gate A 12"},
                 {8, "12"},
                 {9, ""},
                 {20, ""}};
    for (const auto& c : cases) EXPECT_STREQ(findLastWhiteSpace(line, c.n), c.rest) << c.n;
    // Runs of blanks count once.
    EXPECT_STREQ(findLastWhiteSpace("15   42.1 \t -71.2  0  Ramp 3", 4), "Ramp 3");
    EXPECT_STREQ(findLastWhiteSpace("", 1), "");
}

TEST(Strings, SmallHelpers) {
    EXPECT_TRUE(iequals("Boston", "BOSTON"));
    EXPECT_FALSE(iequals("Boston", "Bostons"));
    EXPECT_EQ(splitOnWhitespace("  ab \t c\r\nd  "), (std::vector<std::string>{"ab", "c", "d"}));
    EXPECT_TRUE(splitOnWhitespace(" \t ").empty());

    char text[] = "  kbos tower \r\n";
    char* trimmed = trimWhiteSpace(text);
    EXPECT_STREQ(trimmed, "kbos tower");
    EXPECT_STREQ(strupr(trimmed), "KBOS TOWER");
    replaceChar(trimmed, ' ', '_');
    EXPECT_STREQ(trimmed, "KBOS_TOWER");
    replaceChar(nullptr, ' ', '_');  // null-safe
    char blanks[] = " \t\n";
    EXPECT_STREQ(trimWhiteSpace(blanks), "");
    EXPECT_TRUE(is_whitespace(" \t\r\n\v\f"));
    EXPECT_TRUE(is_whitespace(""));
    EXPECT_FALSE(is_whitespace(" x "));

    EXPECT_EQ(iToStr(-42), "-42");
    EXPECT_EQ(iToStr(4000000000UL), "4000000000");
    EXPECT_EQ(getVersionString(), "1.7.4 Beta 5");

    char path[PATH_BUFFER_SIZE];
    std::string longPath(3000, 'x');
    EXPECT_EQ(fixPath(path, longPath.c_str()), 3000u);
    EXPECT_EQ(strlen(path), PATH_BUFFER_SIZE - 1);
    EXPECT_EQ(ConvertPath(path, "/a/b"), 4u);
    EXPECT_STREQ(path, "/a/b");
}

TEST(Random, UniformIntegerCoversBothEnds) {
    bool seen[4] = {};
    for (int i = 0; i < 400; ++i) {
        int value = getUniformRandomNumber(1, 3);
        ASSERT_GE(value, 1);
        ASSERT_LE(value, 3);
        seen[value] = true;
    }
    EXPECT_TRUE(seen[1] && seen[2] && seen[3]);
    EXPECT_EQ(getUniformRandomNumber(7, 7), 7);
}

TEST(Clock, ElapsedMillisecondsIsMonotonic) {
    int64_t first = getElapsedMilliSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    int64_t second = getElapsedMilliSeconds();
    EXPECT_GE(second - first, 20);
}

using Logging = HostTest;

TEST_F(Logging, LineHasTimePrefixAndMessage) {
    sLogMsg("Found %d Region Clips", 42);
    ASSERT_EQ(sim::Sim::get().log.size(), 1u);
    EXPECT_TRUE(std::regex_match(sim::Sim::get().log[0].text,
                                 std::regex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9] Quillon: Found 42 Region Clips")))
        << sim::Sim::get().log[0].text;
}

TEST_F(Logging, OverlongMessageIsCutAndKeepsItsNewline) {
    std::string huge(2 * LOG_BUFFER_SIZE, 'x');
    sLogMsg("%s", huge.c_str());
    sLogMsg("next");
    const auto& log = sim::Sim::get().log;
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].text.size() + 1, LOG_BUFFER_SIZE - 1);  // 999,999 characters with the newline
    EXPECT_EQ(log[1].text.substr(log[1].text.size() - 4), "next");
}

TEST_F(Logging, NumbersAreCLocaleTextsUnderACommaLocale) {
    const char* previous = setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    ASSERT_NE(setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale is missing: run ./quillon setup";
    char check[32];
    snprintf(check, sizeof check, "%.1f", 1.5);
    ASSERT_STREQ(check, "1,5");  // the locale really is in force

    sLogMsg("%f %.3lf", 122.8, 0.25);
    EXPECT_TRUE(logged("122.800000 0.250"));
    EXPECT_EQ(formatC("%.2f", 3.14159), "3.14");
    char* end = nullptr;
    EXPECT_DOUBLE_EQ(parseDoubleC("42.375 rest", &end), 42.375);
    EXPECT_STREQ(end, " rest");
    setlocale(LC_ALL, saved.c_str());
}

TEST_F(Logging, LinesFromOtherThreadsWaitForTheSimulatorThread) {
    std::thread worker([] { logMsg("from a worker"); });
    worker.join();
    EXPECT_FALSE(logged("from a worker"));
    writePendingLogLines();
    EXPECT_TRUE(logged("from a worker"));
}

using Paths = HostTest;

TEST_F(Paths, PluginFolderIsCutAfterThePluginsFolder) {
    char buffer[PATH_BUFFER_SIZE];
    ASSERT_TRUE(getPluginPath(buffer));
    EXPECT_EQ(std::string(buffer), pluginFolder);
    EXPECT_EQ(makePluginFileName("Quillon.ini"), pluginFolder + "Quillon.ini");
    EXPECT_EQ(getSystemPathString(), simFolder);
}

TEST_F(Paths, UndeterminablePluginFolderIsLogged) {
    sim::Sim::get().pluginPath = "/opt/elsewhere/Quillon.xpl";
    char buffer[PATH_BUFFER_SIZE];
    EXPECT_FALSE(getPluginPath(buffer));
    EXPECT_EQ(std::string(buffer), "/opt/elsewhere/Quillon.xpl");
    EXPECT_TRUE(logged("Unable to determine the plugin directory"));
}

TEST_F(Paths, AircraftNameAndFolder) {
    sim::Sim::get().aircraftPath = "Aircraft/Laminar Research/Cessna 172 SP/Cessna_172SP.G1000.acf";
    EXPECT_EQ(getAircraftName(), "Cessna_172SP");
    EXPECT_EQ(getAircraftPath(), simFolder + "Aircraft/Laminar Research/Cessna 172 SP/");
    EXPECT_TRUE(fileExists(pluginFolder));
    EXPECT_FALSE(fileExists(pluginFolder + "nothing.here"));
}

using Barrier = HostTest;

TEST_F(Barrier, ExceptionsAreLoggedAndRepeatedFailuresHaltThePlugin) {
    resetGuard();
    int halts = 0;
    setHaltHandler([&] { ++halts; });
    for (int i = 0; i < MAX_GUARDED_FAILURES - 1; ++i)
        EXPECT_EQ(guarded("flight loop", -1.0f, []() -> float { throw std::runtime_error("bad frame"); }), -1.0f);
    EXPECT_TRUE(logged("Error in flight loop: bad frame"));
    EXPECT_FALSE(isPluginHalted());
    guardedVoid("command handler", [] { throw 42; });
    EXPECT_TRUE(logged("Error in command handler: unknown exception"));
    EXPECT_TRUE(isPluginHalted());
    EXPECT_EQ(halts, 1);
    // Once halted, only the stop sequence still runs.
    bool ran = false;
    guardedVoid("menu", [&] { ran = true; });
    EXPECT_FALSE(ran);
    guardedVoid("XPluginStop", [&] { ran = true; }, true);
    EXPECT_TRUE(ran);
    setHaltHandler(nullptr);
    resetGuard();
}

}  // namespace
