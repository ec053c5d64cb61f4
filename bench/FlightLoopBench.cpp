// The flight loop runs every frame: its cost is compared with reading twenty
// datarefs, about what it samples.
#include <benchmark/benchmark.h>

#include "Quillon.h"
#include "Sim.h"
#include "host/Xplm.h"

static void BM_FlightLoopFrame(benchmark::State& state) {
    sim::useScratchHost("quillon-bench");
    char name[256], signature[256], description[256];
    XPluginStart(name, signature, description);
    myFlightLoop(0, 0, 0, nullptr);  // the first call starts the chatter thread
    for (auto _ : state) benchmark::DoNotOptimize(myFlightLoop(0.033f, 0.033f, 1, nullptr));
    XPluginStop();
}
BENCHMARK(BM_FlightLoopFrame);

static void BM_Reference_TwentyDataRefReads(benchmark::State& state) {
    sim::useScratchHost("quillon-bench");
    XPLMDataRef ref = XPLMFindDataRef("sim/cockpit2/radios/actuators/com1_frequency_hz_833");
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < 20; ++i) sum += XPLMGetDatai(ref);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_Reference_TwentyDataRefReads);
