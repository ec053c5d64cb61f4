// Great-circle distance is used on every nearest search; Vincenty's ellipsoid
// distance is the slower reference it is measured against.
#include <benchmark/benchmark.h>

#include "common/Common.h"

static void BM_DistanceLatLon(benchmark::State& state) {
    double lat = 42.36;
    for (auto _ : state) {
        benchmark::DoNotOptimize(distanceLatLon(lat, -71.01, 40.64, -73.78, 'N'));
        lat += 1e-9;
    }
}
BENCHMARK(BM_DistanceLatLon);

static void BM_Reference_Vincenty(benchmark::State& state) {
    double lat = 42.36;
    for (auto _ : state) {
        benchmark::DoNotOptimize(getDistanceVincenty(lat, -71.01, 40.64, -73.78));
        lat += 1e-9;
    }
}
BENCHMARK(BM_Reference_Vincenty);
