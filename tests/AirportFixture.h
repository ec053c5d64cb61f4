// Unit tests of the airport database: apt.dat fixtures written into the test's
// simulator folder, parsed or loaded into the one airport map.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "HostFixture.h"
#include "common/CLocale.h"
#include "nav/AirportDatabase.h"

class AirportTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        cAirport::removeAllAirports();
    }
    void TearDown() override { cAirport::removeAllAirports(); }

    // Writes a file below the simulator folder (or at an absolute path) and returns its path.
    std::string writeFile(const std::string& relative, const std::string& content) {
        const std::string path = relative[0] == '/' ? relative : simFolder + relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static std::string readFile(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    void parse(const std::string& aptDat) { processAirportFile(writeFile("fixture/apt.dat", aptDat)); }

    static const cAirport& airport(const std::string& ident) {
        static const cAirport missing;
        const cAirport* found = cAirport::getAirport(ident);
        EXPECT_NE(found, nullptr) << ident;
        return found ? *found : missing;
    }

    static constexpr const char* DEFAULT_APT = "Resources/default scenery/default apt dat/Earth nav data/apt.dat";
    static constexpr const char* SCENERY_PACKS = "Custom Scenery/scenery_packs.ini";
};

// A land runway row in the simulator's column layout.
inline std::string runwayRow(const char* first, double lat1, double lon1, const char* second, double lat2,
                             double lon2) {
    return formatC(
             "100   30.48   1   0 0.25 0 2 1 %-4s %.8f %.8f 0.00 0.00 2 0 0 0 %-4s %.8f %.8f 0.00 0.00 2 0 0 0\n",
             first, lat1, lon1, second, lat2, lon2);
}
