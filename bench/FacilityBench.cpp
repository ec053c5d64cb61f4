// The facility searches on a world of 35,000 airports and a grid of center
// stations, each next to a brute-force scan over every facility.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "BenchWorld.h"
#include "DataRefs.h"
#include "SimState.h"
#include "common/CLocale.h"
#include "nav/AirportDatabase.h"
#include "nav/Facility.h"
#include "nav/FacilityManager.h"

namespace {

struct World {
    std::vector<Facility*> all;
    std::vector<int> frequencies;  // of facilities near the aircraft, to ask for
};

// The aircraft sits at 40.5 N, 10.5 W; the world around it is generated.
const World& world() {
    static const World built = [] {
        const std::string plugin = worldPluginFolder();
        std::ofstream csv(plugin + "freq.csv");
        int channel = 0;
        for (int lat = -60; lat <= 70; lat += 4) {
            for (int lon = -180; lon < 180; lon += 6, ++channel) {
                const int khz = 118000 + (channel % 18) * 1000 + 25 * (channel % 4);
                csv << formatC("Ctr,ZZZZ,CENTER,%.3f,%d,%d\n", khz / 1000.0, lat, lon);
            }
        }
        csv.close();
        cAirport::removeAllAirports();
        processAirportFile(WORLD_APT);
        indexFacilities();
        sim::setDataRef("sim/flightmodel/position/latitude", -1, {"40.5"});
        sim::setDataRef("sim/flightmodel/position/longitude", -1, {"-10.5"});
        initSimState();
        sampleAircraftPosition();
        World w;
        for (Facility* head : facilities)
            for (Facility* f = head; f; f = f->next) w.all.push_back(f);
        FacilityDistances near;
        FacilityManager::getNearestFacilityByType(FILTER_ALL, 300, near);
        for (const auto& entry : near) w.frequencies.push_back(entry.second->freq);
        return w;
    }();
    return built;
}

void BM_FindNearestFacility(benchmark::State& state) {
    const World& w = world();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(findNearestFacility(40.5, -10.5, w.frequencies[i++ % w.frequencies.size()], 200));
    state.counters["facilities"] = static_cast<double>(w.all.size());
}
BENCHMARK(BM_FindNearestFacility);

void BM_Reference_FindNearestBruteForce(benchmark::State& state) {
    const World& w = world();
    size_t i = 0;
    for (auto _ : state) {
        const int frequency = w.frequencies[i++ % w.frequencies.size()];
        Facility* nearest = nullptr;
        double best = 200;
        for (Facility* f : w.all) {
            if (f->freq != frequency) continue;
            const double d = distanceLatLon(40.5, -10.5, f->lat, f->lon, 'N');
            if (d < best) best = d, nearest = f;
        }
        benchmark::DoNotOptimize(nearest);
    }
}
BENCHMARK(BM_Reference_FindNearestBruteForce);

void BM_NearestFacilities40Within100(benchmark::State& state) {
    world();
    Facility* out[40];
    for (auto _ : state) benchmark::DoNotOptimize(getNearestFacilities(out, 40, 100, FILTER_ALL));
}
BENCHMARK(BM_NearestFacilities40Within100);

void BM_Reference_NearestFacilitiesBruteForce(benchmark::State& state) {
    const World& w = world();
    std::vector<std::pair<float, Facility*>> found;
    for (auto _ : state) {
        found.clear();
        for (Facility* f : w.all) {
            const float d = static_cast<float>(distanceLatLon(40.5, -10.5, f->lat, f->lon, 'N'));
            if (d <= 100) found.emplace_back(d, f);
        }
        std::stable_sort(found.begin(), found.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        if (found.size() > 40) found.resize(40);
        benchmark::DoNotOptimize(found.data());
    }
}
BENCHMARK(BM_Reference_NearestFacilitiesBruteForce);

}  // namespace
