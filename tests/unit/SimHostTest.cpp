// The stand-in simulator must behave like the simulator where the plug-in
// relies on it: flight-loop timing and phases, dataref access rules,
// accessors, shared data and command dispatch.
#include <cstddef>
#include <cstring>
#include <fstream>

#include "HostFixture.h"
#include "host/Xplm.h"

namespace {

using SimHost = HostTest;

struct LoopLog {
    std::vector<std::pair<int, int64_t>> calls;  // (which, frame)
};
LoopLog gLoops;

float beforeLoop(float, float, int, void* refcon) {
    gLoops.calls.push_back({static_cast<int>(reinterpret_cast<intptr_t>(refcon)), sim::Sim::get().frame});
    return -2.0f;  // every second frame
}
float afterLoop(float, float, int, void*) {
    gLoops.calls.push_back({100, sim::Sim::get().frame});
    return 0.1f;  // every 0.1 s
}

TEST_F(SimHost, FlightLoopsKeepTheirIntervalsAndPhases) {
    sim::Sim::get().frame = 0;
    sim::Sim::get().simTime = 0;
    gLoops.calls.clear();
    XPLMCreateFlightLoop_t params{sizeof(XPLMCreateFlightLoop_t), xplm_FlightLoop_Phase_AfterFlightModel, afterLoop,
                                  nullptr};
    XPLMFlightLoopID after = XPLMCreateFlightLoop(&params);
    XPLMScheduleFlightLoop(after, -1.0f, 1);
    XPLMRegisterFlightLoopCallback(beforeLoop, -1.0f, reinterpret_cast<void*>(1));
    runFrames(7);
    XPLMUnregisterFlightLoopCallback(beforeLoop, reinterpret_cast<void*>(1));
    XPLMDestroyFlightLoop(after);
    runFrames(3);

    // Old-style loops run before the flight model, so first in each frame.
    ASSERT_GE(gLoops.calls.size(), 2u);
    EXPECT_EQ(gLoops.calls[0], (std::pair<int, int64_t>{1, 0}));
    EXPECT_EQ(gLoops.calls[1], (std::pair<int, int64_t>{100, 0}));
    int before = 0, afterCalls = 0;
    for (const auto& call : gLoops.calls) (call.first == 1 ? before : afterCalls)++;
    EXPECT_EQ(before, 4);      // frames 0, 2, 4, 6 of 7
    EXPECT_EQ(afterCalls, 3);  // frame 0, then every 0.1 s (3 frames at 30 Hz)
    EXPECT_EQ(sim::liveFlightLoopCount(), 0);
}

int gAccessorInt = 7;
float gAccessorFloats[3] = {1, 2, 3};
int readInt(void* refcon) { return *static_cast<int*>(refcon); }
void writeInt(void* refcon, int value) { *static_cast<int*>(refcon) = value; }
int readFloats(void*, float* out, int offset, int max) {
    if (!out) return 3;
    int n = 0;
    for (int i = offset; i < 3 && n < max; ++i) out[n++] = gAccessorFloats[i];
    return n;
}

TEST_F(SimHost, DataRefReadsFollowTypesAndArrayRules) {
    XPLMDataRef volts = XPLMFindDataRef("sim/cockpit2/electrical/bus_volts");
    ASSERT_NE(volts, nullptr);
    EXPECT_EQ(XPLMFindDataRef("sim/no/such/dataref"), nullptr);
    EXPECT_EQ(XPLMGetDataRefTypes(volts), xplmType_FloatArray);
    EXPECT_EQ(XPLMGetDatavf(volts, nullptr, 0, 0), 6);  // null buffer: the length
    float values[8] = {};
    EXPECT_EQ(XPLMGetDatavf(volts, values, 4, 8), 2);  // clamped to the array
    EXPECT_EQ(XPLMGetDatavf(volts, values, 9, 8), 0);
    EXPECT_EQ(XPLMGetDatai(volts), 0);  // wrong type

    sim::setDataRef("sim/cockpit2/electrical/bus_volts", 1, {"13.5"});
    EXPECT_EQ(sim::getDataRefText("sim/cockpit2/electrical/bus_volts", 1), "13.5");
    // Read-only for plug-ins, but the simulator itself changes it.
    XPLMDataRef latitude = XPLMFindDataRef("sim/flightmodel/position/latitude");
    XPLMSetDatad(latitude, 1.0);
    EXPECT_NEAR(XPLMGetDatad(latitude), 42.3656, 1e-9);
    sim::setDataRef("sim/flightmodel/position/latitude", -1, {"45.5"});
    EXPECT_DOUBLE_EQ(XPLMGetDatad(latitude), 45.5);
}

TEST_F(SimHost, AccessorsAreReadAndWrittenAsAnotherPluginWould) {
    XPLMDataRef ref = XPLMRegisterDataAccessor("test/int", xplmType_Int, 1, readInt, writeInt, nullptr, nullptr,
                                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                               &gAccessorInt, &gAccessorInt);
    XPLMDataRef floats = XPLMRegisterDataAccessor("test/floats", xplmType_FloatArray, 0, nullptr, nullptr, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr, nullptr, readFloats, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(XPLMFindDataRef("test/int"), ref);
    EXPECT_EQ(sim::getDataRefText("test/int", -1), "7");
    sim::setDataRef("test/int", -1, {"12"});
    EXPECT_EQ(gAccessorInt, 12);
    EXPECT_EQ(sim::getDataRefText("test/floats", 2), "3");
    EXPECT_THROW(sim::setDataRef("test/floats", 0, {"x"}), std::runtime_error);
    XPLMUnregisterDataAccessor(ref);
    XPLMUnregisterDataAccessor(floats);
    EXPECT_EQ(XPLMFindDataRef("test/int"), nullptr);
    EXPECT_EQ(XPLMGetDatai(ref), 0);  // a stale handle reads nothing
}

int gNotified = 0;
void changed(void*) { ++gNotified; }

TEST_F(SimHost, SharedDataNotifiesEverySharer) {
    gNotified = 0;
    ASSERT_EQ(XPLMShareData("test/shared", xplmType_Data, changed, nullptr), 1);
    EXPECT_EQ(XPLMShareData("test/shared", xplmType_Int, changed, nullptr), 0);  // other type
    sim::setDataRef("test/shared", -1, {"hello", "world"});
    EXPECT_EQ(gNotified, 1);
    EXPECT_EQ(sim::getDataRefText("test/shared", -1), "hello world");
    EXPECT_EQ(XPLMUnshareData("test/shared", xplmType_Data, changed, nullptr), 1);
}

std::vector<std::pair<int, int>> gCommandCalls;  // (refcon, phase)
int handler(XPLMCommandRef, XPLMCommandPhase phase, void* refcon) {
    gCommandCalls.push_back({static_cast<int>(reinterpret_cast<intptr_t>(refcon)), phase});
    return reinterpret_cast<intptr_t>(refcon) == 9 ? 0 : 1;
}

TEST_F(SimHost, CommandsRunBeforeHandlersFirstAndHonourSwallowing) {
    gCommandCalls.clear();
    XPLMCommandRef command = XPLMCreateCommand("test/press", "Press");
    EXPECT_EQ(XPLMCreateCommand("test/press", "again"), command);
    XPLMRegisterCommandHandler(command, handler, 0, reinterpret_cast<void*>(2));
    XPLMRegisterCommandHandler(command, handler, 1, reinterpret_cast<void*>(1));
    XPLMCommandOnce(command);
    EXPECT_EQ(gCommandCalls, (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {1, 2}, {2, 2}}));

    gCommandCalls.clear();
    XPLMRegisterCommandHandler(command, handler, 1, reinterpret_cast<void*>(9));
    XPLMCommandOnce(command);
    EXPECT_EQ(gCommandCalls, (std::vector<std::pair<int, int>>{{1, 0}, {9, 0}, {1, 2}, {9, 2}}));
    XPLMUnregisterCommandHandler(command, handler, 1, reinterpret_cast<void*>(9));
    XPLMUnregisterCommandHandler(command, handler, 1, reinterpret_cast<void*>(1));
    XPLMUnregisterCommandHandler(command, handler, 0, reinterpret_cast<void*>(2));
}

TEST_F(SimHost, DirectoryListingReportsTruncation) {
    for (const char* name : {"a.mp3", "b.wav", "c.mp3"}) std::ofstream(pluginFolder + name) << "x";
    char names[64];
    char* index[8];
    int total = 0, returned = 0;
    EXPECT_EQ(XPLMGetDirectoryContents(pluginFolder.c_str(), 0, names, sizeof names, index, 8, &total, &returned), 1);
    EXPECT_EQ(total, 4);  // lin_x64 too
    EXPECT_EQ(returned, 4);
    EXPECT_EQ(XPLMGetDirectoryContents(pluginFolder.c_str(), 0, names, 8, index, 8, &total, &returned), 0);
    EXPECT_LT(returned, 4);
    EXPECT_EQ(XPLMGetDirectoryContents((pluginFolder + "missing").c_str(), 0, names, sizeof names, index, 8, &total,
                                       &returned),
              1);
    EXPECT_EQ(total, 0);
}

TEST(HostLayout, StructsMatchTheSimulator) {
    EXPECT_EQ(sizeof(XPLMCreateWindow_t), 88u);
    EXPECT_EQ(offsetof(XPLMCreateWindow_t, refcon), 64u);
    EXPECT_EQ(offsetof(XPLMCreateWindow_t, decorateAsFloatingWindow), 72u);
    EXPECT_EQ(offsetof(XPLMCreateWindow_t, handleRightClickFunc), 80u);
    EXPECT_EQ(sizeof(XPLMCreateFlightLoop_t), 24u);
    EXPECT_EQ(offsetof(XPLMCreateFlightLoop_t, callbackFunc), 8u);
    EXPECT_EQ(sizeof(FMOD_VECTOR), 12u);
}

}  // namespace
