#include "NavDatabase.h"

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

#include "Sim.h"
#include "host/XplmNavigation.h"

namespace sim {
namespace {

std::string gLoadedFolder;
bool gLoaded = false;

std::vector<NavEntry>& entries() {
    static std::vector<NavEntry> list;
    return list;
}

// The rest of the row with its words separated by single blanks.
std::string restOf(std::istringstream& row) {
    std::string rest, word;
    while (row >> word) rest += (rest.empty() ? "" : " ") + word;
    return rest;
}

// One airport of an apt.dat: placed at its datum, else the middle of its first runway or its first helipad.
struct AirportBuilder {
    NavEntry entry;
    bool placed = false;
    bool datum = false;
    double datumLatitude = 0;

    void start(std::istringstream& row) {
        int elevation = 0, ignored = 0;
        std::string id;
        row >> elevation >> ignored >> ignored >> id;
        entry = NavEntry{xplm_Nav_Airport, 0, 0, static_cast<float>(elevation), 0, 0, id, restOf(row)};
        placed = datum = false;
        datumLatitude = 0;
    }
    void place(double latitude, double longitude, bool fromDatum) {
        if (datum || (placed && !fromDatum)) return;
        entry.latitude = static_cast<float>(latitude);
        entry.longitude = static_cast<float>(longitude);
        placed = true;
        datum = fromDatum;
    }
};

void readAirportFile(const std::string& path, std::set<std::string>& known) {
    std::ifstream file(path);
    if (!file) return;
    AirportBuilder airport;
    auto finish = [&] {
        if (!airport.entry.id.empty() && airport.placed && known.insert(airport.entry.id).second)
            entries().push_back(airport.entry);
        airport.entry.id.clear();
    };
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream row(line);
        int code = 0;
        if (!(row >> code)) continue;
        std::string field;
        double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
        if (code == 1 || code == 16 || code == 17) {
            finish();
            airport.start(row);
        } else if (code == 99) {
            finish();
        } else if (code == 100) {
            for (int i = 0; i < 8; ++i) row >> field;
            row >> lat1 >> lon1;
            for (int i = 0; i < 7; ++i) row >> field;
            if (row >> lat2 >> lon2) airport.place((lat1 + lat2) / 2, (lon1 + lon2) / 2, false);
        } else if (code == 101) {
            if (row >> field >> field >> field >> lat1 >> lon1 >> field >> lat2 >> lon2)
                airport.place((lat1 + lat2) / 2, (lon1 + lon2) / 2, false);
        } else if (code == 102) {
            if (row >> field >> lat1 >> lon1) airport.place(lat1, lon1, false);
        } else if (code == 1302 && row >> field) {
            if (field == "datum_lat") row >> airport.datumLatitude;
            if (field == "datum_lon" && row >> lon1) airport.place(airport.datumLatitude, lon1, true);
        }
    }
    finish();
}

// The apt.dat files in the simulator's order: enabled packs as listed, then the default airports.
std::vector<std::string> airportFiles(const std::string& folder) {
    std::vector<std::string> files;
    std::ifstream packs(folder + "Custom Scenery/scenery_packs.ini");
    std::string line;
    while (std::getline(packs, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        const std::string keyword = "SCENERY_PACK ";
        if (line.compare(0, keyword.size(), keyword) != 0) continue;
        std::string pack = line.substr(keyword.size());
        if (pack == "*GLOBAL_AIRPORTS*") pack = "Global Scenery/Global Airports/";
        if (!pack.empty() && pack.back() != '/') pack += '/';
        files.push_back((pack[0] == '/' ? pack : folder + pack) + "Earth nav data/apt.dat");
    }
    files.push_back(folder + "Resources/default scenery/default apt dat/Earth nav data/apt.dat");
    return files;
}

void readNavFile(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    int version = 0;
    while (std::getline(file, line)) {
        std::istringstream row(line);
        int code = 0;
        if (!(row >> code)) continue;
        if (version == 0) {
            version = code;  // the line after the byte-order mark: "810 Version ..." or "1200 Version ..."
            continue;
        }
        NavEntry entry;
        if (parseNavRow(line, version, entry)) entries().push_back(std::move(entry));
    }
}

void load(const std::string& folder) {
    entries().clear();
    std::set<std::string> known;
    for (const std::string& file : airportFiles(folder)) readAirportFile(file, known);
    // Navigation data updates in Custom Data replace the simulator's own.
    std::ifstream custom(folder + "Custom Data/earth_nav.dat");
    readNavFile(custom ? folder + "Custom Data/earth_nav.dat" : folder + "Resources/default data/earth_nav.dat");
    gLoadedFolder = folder;
    gLoaded = true;
}

}  // namespace

bool parseNavRow(const std::string& line, int version, NavEntry& out) {
    std::istringstream row(line);
    int code = 0;
    double latitude = 0, longitude = 0, bearing = 0;
    int elevation = 0, frequency = 0, range = 0;
    std::string id;
    if (!(row >> code >> latitude >> longitude >> elevation >> frequency >> range >> bearing >> id)) return false;
    const bool regions = version >= 1100;
    std::string airport, region, runway;
    switch (code) {
        case 2:
        case 3:
            out.type = code == 2 ? xplm_Nav_NDB : xplm_Nav_VOR;
            if (regions) row >> airport >> region;
            out.name = restOf(row);
            break;
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
        case 9: {
            static const int types[] = {xplm_Nav_ILS, xplm_Nav_Localizer, xplm_Nav_GlideSlope,
                                        xplm_Nav_OuterMarker, xplm_Nav_MiddleMarker, xplm_Nav_InnerMarker};
            out.type = types[code - 4];
            row >> airport;
            if (regions) row >> region;
            row >> runway;
            // Named as the simulator names them, so that "KBOS 04R" finds the runway's ILS.
            out.name = airport + " " + runway + " " + restOf(row);
            // A glideslope packs its angle times 100,000 and newer files pack the
            // magnetic course times 360 in front of the true bearing.
            if (code == 6) bearing = std::fmod(bearing, 100000.0);
            if (regions) bearing = std::fmod(bearing, 360.0);
            break;
        }
        case 12:
        case 13:
            out.type = xplm_Nav_DME;
            if (regions) {
                row >> airport >> region;
                out.name = (airport == "ENRT" ? "" : airport + " ") + restOf(row);
            } else {
                out.name = restOf(row);
            }
            bearing = 0;
            break;
        default:
            return false;
    }
    out.latitude = static_cast<float>(latitude);
    out.longitude = static_cast<float>(longitude);
    out.height = static_cast<float>(elevation);
    out.frequency = frequency;
    out.heading = static_cast<float>(bearing);
    out.id = id;
    return true;
}

const std::vector<NavEntry>& navDatabase() {
    const std::string& folder = Sim::get().simFolder;
    if (!gLoaded || folder != gLoadedFolder) load(folder);
    return entries();
}

void resetNavDatabase() { gLoaded = false; }

}  // namespace sim
