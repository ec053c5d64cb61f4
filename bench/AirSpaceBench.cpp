// Center airspaces at world scale: loading with transmitter placement, and the
// per-call airspace and center-site queries next to a brute-force
// point-in-polygon test over every airspace.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "common/CLocale.h"
#include "common/Common.h"
#include "nav/AirSpaceManager.h"

namespace {

constexpr int AIRSPACES = 300;
constexpr double PI = 3.14159265358979323846;

// A reproducible world: 300 irregular star-shaped center airspaces of 100 to
// 400 NM radius, 50 to 400 vertices and 2 to 20 frequencies each, centred
// anywhere between 60 S and 70 N.
std::string generateWorld() {
    std::mt19937 random(11);
    auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    auto integer = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::string text = "I\n1200 Version - generated world for benchmarks\n\n";
    for (int i = 0; i < AIRSPACES; ++i) {
        const double lat = uniform(-60, 70), lon = uniform(-180, 180), radiusNM = uniform(100, 400);
        text += formatC("CONTROLLER\nNAME Center %d\nFACILITY_ID Z%03d\nROLE ctr\n", i, i);
        for (int f = integer(2, 20); f > 0; --f) {
            const int channel = integer(0, 759);  // 25 kHz channels from 118.000 to 136.975 MHz
            const int kHz = 118000 + channel * 25;
            text += formatC("FREQ %05d\n", kHz / 10);
        }
        text += "AIRSPACE_POLYGON_BEGIN 0 60000\n";
        const int vertices = integer(50, 400);
        for (int v = 0; v < vertices; ++v) {
            const double bearing = 2 * PI * v / vertices;
            const double arc = radiusNM * uniform(0.8, 1.2) / 3440.065;
            const double phi1 = lat * PI / 180, lambda1 = lon * PI / 180;
            const double phi2 = asin(sin(phi1) * cos(arc) + cos(phi1) * sin(arc) * cos(bearing));
            double lambda2 = lambda1 + atan2(sin(bearing) * sin(arc) * cos(phi1), cos(arc) - sin(phi1) * sin(phi2));
            double vertexLon = std::remainder(lambda2 * 180 / PI, 360.0);
            text += formatC("POINT %.6f %.6f\n", phi2 * 180 / PI, vertexLon);
        }
        text += "AIRSPACE_POLYGON_END\nCONTROLLER_END\n";
    }
    return text;
}

const std::string& worldFile() {
    static const std::string path = [] {
        std::string file = std::filesystem::temp_directory_path().string() + "/quillon-bench-atc.dat";
        std::ofstream(file, std::ios::binary) << generateWorld();
        return file;
    }();
    return path;
}

// Query positions: half near airspace centres, half anywhere.
const std::vector<GeoPoint>& queryPoints() {
    static const std::vector<GeoPoint> points = [] {
        AirSpaceManager::loadFile(worldFile());
        std::mt19937 random(7);
        std::vector<GeoPoint> list;
        for (int i = 0; i < 1024; ++i) {
            if (i % 2 == 0) {
                const auto& airSpace = AirSpaceManager::airSpaces[random() % AirSpaceManager::airSpaces.size()];
                list.push_back({airSpace->center.latitude + (random() % 200) / 100.0 - 1.0,
                                airSpace->center.longitude + (random() % 200) / 100.0 - 1.0});
            } else {
                list.push_back({std::uniform_real_distribution<double>(-60, 70)(random),
                                std::uniform_real_distribution<double>(-180, 180)(random)});
            }
        }
        return list;
    }();
    return points;
}

void ensureLoaded() {
    if (AirSpaceManager::airSpaces.size() != AIRSPACES) AirSpaceManager::loadFile(worldFile());
}

void BM_AirSpaceLoadWithPlacement(benchmark::State& state) {
    worldFile();
    size_t sites = 0;
    for (auto _ : state) {
        AirSpaceManager::loadFile(worldFile());
        state.PauseTiming();
        sites = 0;
        for (const auto& airSpace : AirSpaceManager::airSpaces) sites += airSpace->transmitterLocations.size();
        state.ResumeTiming();
    }
    state.counters["airspaces"] = static_cast<double>(AirSpaceManager::airSpaces.size());
    state.counters["sites"] = static_cast<double>(sites);
}
BENCHMARK(BM_AirSpaceLoadWithPlacement)->Unit(benchmark::kMillisecond);

void BM_GetAirSpace(benchmark::State& state) {
    const auto& points = queryPoints();
    ensureLoaded();
    size_t i = 0, found = 0;
    for (auto _ : state) {
        const GeoPoint& at = points[i++ % points.size()];
        AirSpace* airSpace = AirSpaceManager::getAirSpace(at.latitude, at.longitude, 30000);
        found += airSpace != nullptr;
        benchmark::DoNotOptimize(airSpace);
    }
    state.counters["found"] = benchmark::Counter(static_cast<double>(found) / static_cast<double>(i));
}
BENCHMARK(BM_GetAirSpace);

// The search behind findNearestCenterTransmitter, which adds the sampled
// position and the name text.
void BM_FindNearestTransmitter(benchmark::State& state) {
    const auto& points = queryPoints();
    ensureLoaded();
    size_t i = 0;
    for (auto _ : state) {
        const GeoPoint& at = points[i++ % points.size()];
        benchmark::DoNotOptimize(AirSpaceManager::findNearestTransmitter(at.latitude, at.longitude, 30000, 200));
    }
}
BENCHMARK(BM_FindNearestTransmitter);

// Every airspace's polygon tested in turn, without index or bounds.
const AirSpace* bruteForceAirSpace(const GeoPoint& at) {
    for (const auto& airSpace : AirSpaceManager::airSpaces)
        if (airSpace->containsAltitude(30000) && airSpace->isPointInsidePolygon(airSpace->polygon, at))
            return airSpace.get();
    return nullptr;
}

void BM_Reference_BruteForcePointInPolygon(benchmark::State& state) {
    const auto& points = queryPoints();
    ensureLoaded();
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(bruteForceAirSpace(points[i++ % points.size()]));
}
BENCHMARK(BM_Reference_BruteForcePointInPolygon);

// The same, followed by a haversine distance to every site of the airspace.
void BM_Reference_BruteForceNearestTransmitter(benchmark::State& state) {
    const auto& points = queryPoints();
    ensureLoaded();
    size_t i = 0;
    for (auto _ : state) {
        const GeoPoint& at = points[i++ % points.size()];
        const Transmitter* nearest = nullptr;
        if (const AirSpace* airSpace = bruteForceAirSpace(at)) {
            double nearestDistance = 10000000.0;
            for (const Transmitter& site : airSpace->transmitterLocations) {
                const double distance = distanceLatLon(at.latitude, at.longitude, site.lat, site.lon, 'N');
                if (distance < nearestDistance) {
                    nearestDistance = distance;
                    nearest = &site;
                }
            }
        }
        benchmark::DoNotOptimize(nearest);
    }
}
BENCHMARK(BM_Reference_BruteForceNearestTransmitter);

}  // namespace
