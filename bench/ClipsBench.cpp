// The chatter thread's clip query, the working-set rebuild and the region
// check, each beside a reference of the same shape: a locked vector read, a
// plain copy of the same clips, and one distance to every airport.
#include <benchmark/benchmark.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Settings.h"
#include "Sim.h"
#include "SimState.h"
#include "audio/Clips.h"
#include "common/Common.h"
#include "nav/Airport.h"
#include "nav/RegionMap.h"

namespace {

// A library of `collections` region-like collections of `perController` clips per controller, all selected.
std::unique_ptr<ClipManager> makeLibrary(int collections, int perController, std::vector<std::string>& texts) {
    auto clips = std::make_unique<ClipManager>();
    texts.assign(static_cast<size_t>(collections * perController * MAX_CONTROLLERS), "clip.mp3");
    ClipCollections& type = clips->m_ClipsCollectionTypes.m_ClipCollections["Regions"];
    type.selected = true;
    size_t text = 0;
    for (int c = 0; c < collections; ++c) {
        ControllerSet& set = type.m_ControllerSets["Collection " + std::to_string(c)];
        set.selected = true;
        for (int controller = 0; controller < MAX_CONTROLLERS; ++controller)
            for (int i = 0; i < perController; ++i) {
                Clip clip;
                clip.m_pPath = clip.m_pFileName = &texts[text++];
                clip.controller = static_cast<Controllers>(controller);
                set.m_Controllers[controller].m_Clips.push_back(clip);
            }
    }
    return clips;
}

void BM_GetNextClip(benchmark::State& state) {
    std::vector<std::string> texts;
    auto clips = makeLibrary(8, 5, texts);
    clips->buildWorkingSet();
    for (auto _ : state) benchmark::DoNotOptimize(clips->getNextClip(CONTROLLER_APP));
}
BENCHMARK(BM_GetNextClip);

void BM_Reference_LockedVectorRead(benchmark::State& state) {
    std::vector<Clip> list(40);
    std::mutex lock;
    size_t index = 0;
    for (auto _ : state) {
        std::lock_guard<std::mutex> guard(lock);
        benchmark::DoNotOptimize(list[index]);
        index = (index + 1) % list.size();
    }
}
BENCHMARK(BM_Reference_LockedVectorRead);

// 8 collections of 5 clips per controller (the shipped size), and 100 of 20.
void BM_BuildWorkingSet(benchmark::State& state) {
    std::vector<std::string> texts;
    auto clips = makeLibrary(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), texts);
    for (auto _ : state) clips->buildWorkingSet();
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}
BENCHMARK(BM_BuildWorkingSet)->Args({8, 5})->Args({100, 20});

void BM_Reference_CopyClips(benchmark::State& state) {
    const std::vector<Clip> source(static_cast<size_t>(state.range(0) * state.range(1) * MAX_CONTROLLERS));
    for (auto _ : state) {
        std::vector<Clip> copy(source);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(source.size()));
}
BENCHMARK(BM_Reference_CopyClips)->Args({8, 5})->Args({100, 20});

// 30,000 airports, about the simulator's scenery.
void fillAirports() {
    cAirport::removeAllAirports();
    for (int i = 0; i < 30000; ++i) {
        cAirport airport;
        airport.icaoCode = airport.trueIcaoCode = "K" + std::to_string(100000 + i).substr(1);
        airport.latitude = -60 + (i % 240) * 0.5;
        airport.longtitude = -180 + (i / 240) * 2.88;
        cAirport::addAirport(airport, false);
    }
}

// A frame between checks: what every flight-loop call pays.
void BM_RegionCheckBetweenChecks(benchmark::State& state) {
    sim::useScratchHost("quillon-bench");
    initCommon("Quillon");
    gSettings.autoSelectRegionAndCountry = true;
    RegionMapManager* regions = RegionMapManager::getInstance();
    regions->checkRegion();
    for (auto _ : state) regions->checkRegion();
    RegionMapManager::removeInstance();
    gSettings.autoSelectRegionAndCountry = false;
}
BENCHMARK(BM_RegionCheckBetweenChecks);

// The check itself, once a minute: the nearest airport among 30,000.
void BM_RegionCheck(benchmark::State& state) {
    sim::useScratchHost("quillon-bench");
    initCommon("Quillon");
    initSimState();
    fillAirports();
    gSettings.autoSelectRegionAndCountry = true;
    getClipManager().getChatterFiles();
    RegionMapManager* regions = RegionMapManager::getInstance();
    for (auto _ : state) {
        regions->resetRegionCheck();
        regions->checkRegion();
    }
    RegionMapManager::removeInstance();
    gSettings.autoSelectRegionAndCountry = false;
    cAirport::removeAllAirports();
}
BENCHMARK(BM_RegionCheck)->Unit(benchmark::kMicrosecond);

void BM_Reference_DistanceToEveryAirport(benchmark::State& state) {
    fillAirports();
    for (auto _ : state) {
        double best = 1e9;
        for (const auto& entry : cAirport::getAirports())
            best = std::min(best, distanceLatLon(42.36, -71.0, entry.second.latitude, entry.second.longtitude, 'N'));
        benchmark::DoNotOptimize(best);
    }
    cAirport::removeAllAirports();
}
BENCHMARK(BM_Reference_DistanceToEveryAirport)->Unit(benchmark::kMicrosecond);

}  // namespace
