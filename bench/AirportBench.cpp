// The airport database at world scale: the rebuild from a generated apt.dat of
// 35,000 airports and 2.5 million lines, and the start from its cache, each
// next to `wc -l` reading the same file in the same run; and the memory the
// map of 35,000 airports holds.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchWorld.h"
#include "nav/AirportDatabase.h"

namespace {

void rebuild() {
    cAirport::removeAllAirports();
    processAirportFile(WORLD_APT);
    dumpAirports();
}

// Emptying the map between runs is not part of what is measured.
void clearUntimed(benchmark::State& state) {
    state.PauseTiming();
    cAirport::removeAllAirports();
    state.ResumeTiming();
}

void setLines(benchmark::State& state) {
    static const double lines = [] {
        std::ifstream file(WORLD_APT, std::ios::binary);
        double count = 0;
        std::string line;
        while (std::getline(file, line)) ++count;
        return count;
    }();
    state.counters["lines_per_s"] = benchmark::Counter(lines * static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate);
}

void BM_Reference_WcL(benchmark::State& state) {
    worldPluginFolder();
    const std::string command = "wc -l < '" + WORLD_APT + "' > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("wc failed");
    setLines(state);
}
BENCHMARK(BM_Reference_WcL)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_AirportParse(benchmark::State& state) {
    worldPluginFolder();
    for (auto _ : state) {
        clearUntimed(state);
        processAirportFile(WORLD_APT);
    }
    state.counters["airports"] = static_cast<double>(cAirport::getAirports().size());
    setLines(state);
}
BENCHMARK(BM_AirportParse)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_AirportRebuild(benchmark::State& state) {
    worldPluginFolder();
    for (auto _ : state) {
        clearUntimed(state);
        processAirportFile(WORLD_APT);
        dumpAirports();
    }
    setLines(state);
}
BENCHMARK(BM_AirportRebuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

size_t residentBytes() {
    long pages = 0, resident = 0;
    if (FILE* statm = fopen("/proc/self/statm", "r")) {
        if (fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        fclose(statm);
    }
    return static_cast<size_t>(resident) * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

void BM_AirportCacheLoad(benchmark::State& state) {
    const std::string cache = worldPluginFolder() + "airports.dat";
    if (!std::filesystem::exists(cache)) rebuild();
    // What the loaded map holds, measured once from an empty map and trimmed heap.
    cAirport::removeAllAirports();
    malloc_trim(0);
    const size_t heapBefore = mallinfo2().uordblks;
    const size_t residentBefore = residentBytes();
    readAirportCache(cache);
    state.counters["map_heap_MB"] = static_cast<double>(mallinfo2().uordblks - heapBefore) / 1e6;
    state.counters["map_resident_MB"] = (static_cast<double>(residentBytes()) - static_cast<double>(residentBefore)) / 1e6;
    for (auto _ : state) {
        clearUntimed(state);
        readAirportCache(cache);
    }
    state.counters["airports"] = static_cast<double>(cAirport::getAirports().size());
}
BENCHMARK(BM_AirportCacheLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace
