#include "AirSpaceManager.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Settings.h"
#include "SimState.h"
#include "common/CLocale.h"
#include "common/Common.h"
#include "common/LineReader.h"
#include "nav/Airport.h"

std::vector<std::unique_ptr<AirSpace>> AirSpaceManager::airSpaces;
std::map<int, std::vector<AirSpace*>> AirSpaceManager::indexByLat;
AirSpace* AirSpaceManager::pLastChecked = nullptr;

namespace {

constexpr size_t MAX_LINE = 5000;
// Far more than any real center lists; bounds the work a damaged file can cause.
constexpr size_t MAX_FREQUENCIES = 256;

int latitudeBand(double lat) { return static_cast<int>(lat); }

bool isValidPosition(double lat, double lon) {
    return std::isfinite(lat) && std::isfinite(lon) && std::fabs(lat) <= 90.0 && std::fabs(lon) <= 180.0;
}

bool parseDouble(const std::string& text, double& value) {
    char* end = nullptr;
    value = parseDoubleC(text.c_str(), &end);
    return !text.empty() && *end == '\0';
}

bool parseInt(const std::string& text, int& value) {
    char* end = nullptr;
    errno = 0;
    long parsed = strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}

// FREQ gives five digits in units of 10 kHz; the 25 kHz channels ending in
// 2 or 7 lose their final 5 (12772 is 127.725 MHz).
int freqToKHz(const std::string& text) {
    if (text.size() < 5) return 0;
    for (size_t i = 0; i < 5; ++i)
        if (text[i] < '0' || text[i] > '9') return 0;
    const char fifth = text[4];
    return atoi(text.substr(0, 5).c_str()) * 10 + (fifth == '2' || fifth == '7' ? 5 : 0);
}

class AtcDatReader {
public:
    explicit AtcDatReader(std::vector<std::unique_ptr<AirSpace>>& out) : m_Out(out) {}

    void readLine(const std::string& line) {
        ++m_LineNumber;
        const size_t name = line.find("NAME ");
        if (name != std::string::npos) {
            finish();
            m_NameLine = m_LineNumber;
            // Oceanic controllers are no center anyone hears on the radio.
            if (line.find(" OCEANIC", name + 4) == std::string::npos) m_Working.name = trimmed(line.substr(name + 5));
            return;
        }
        if (line.find("CONTROLLER_END") != std::string::npos) {
            finish();
            return;
        }
        if (m_Working.name.empty()) return;

        const std::vector<std::string> fields = splitOnWhitespace(line);
        auto field = [&](size_t i) { return i < fields.size() ? fields[i] : std::string(); };
        if (line.find("ROLE ") != std::string::npos) {
            if (field(1) != "ctr") m_Working.clear();
        } else if (line.find("FACILITY_ID ") != std::string::npos) {
            m_Working.id = field(1);
        } else if (line.find("AIRSPACE_POLYGON_BEGIN") != std::string::npos) {
            int minAlt, maxAlt;
            if (parseInt(field(1), minAlt) && parseInt(field(2), maxAlt)) {
                m_Working.minAlt = minAlt;
                m_Working.maxAlt = maxAlt;
            } else {
                damaged();
            }
        } else if (startsWith(line, "POINT ")) {
            double lat, lon;
            if (parseDouble(field(1), lat) && parseDouble(field(2), lon) && isValidPosition(lat, lon))
                m_Working.polygon.push_back({lat, lon});
            else
                damaged();
        } else if (startsWith(line, "FREQ ")) {
            addFrequency(freqToKHz(field(1)));
        } else if (startsWith(line, "CHAN ")) {
            int kHz = 0;
            addFrequency(parseInt(field(1), kHz) ? kHz : 0);
        }
    }

    // Finishes a controller left open at the end of the file.
    void end() { finish(); }

    int damagedCount() const { return m_Damaged; }
    int firstDamagedLine() const { return m_FirstDamagedLine; }

private:
    static bool startsWith(const std::string& line, const char* keyword) { return line.rfind(keyword, 0) == 0; }

    static std::string trimmed(const std::string& text) {
        const char* spaces = " \t\v\f";
        const size_t first = text.find_first_not_of(spaces);
        if (first == std::string::npos) return std::string();
        return text.substr(first, text.find_last_not_of(spaces) - first + 1);
    }

    void addFrequency(int kHz) {
        // A center is always heard in the air band; anything else is damage.
        if (kHz < MIN_ATC_FREQUENCY || kHz > MAX_ATC_FREQUENCY || m_Working.frequencies.size() >= MAX_FREQUENCIES)
            damaged();
        else
            m_Working.frequencies.push_back(kHz);
    }

    void finish() {
        if (!m_Working.name.empty()) {
            if (m_Working.polygon.size() < 3) {
                damaged(m_NameLine);  // no boundary: it could hold nothing
            } else {
                auto airSpace = std::make_unique<AirSpace>(m_Working);
                airSpace->evaluate();
                m_Out.push_back(std::move(airSpace));
            }
        }
        m_Working.clear();
    }

    void damaged() { damaged(m_LineNumber); }
    void damaged(int line) {
        if (m_Damaged++ == 0) m_FirstDamagedLine = line;
    }

    std::vector<std::unique_ptr<AirSpace>>& m_Out;
    AirSpace m_Working;
    int m_LineNumber = 0;
    int m_NameLine = 0;  // where the working controller's name stands
    int m_Damaged = 0;
    int m_FirstDamagedLine = 0;
};

// The first airspace of the position's band that holds the position at
// max(elevation, 0) feet and that `accept` takes.
template <class Accept>
AirSpace* firstHolding(double lat, double lon, double elevation, Accept accept) {
    if (!isValidPosition(lat, lon)) return nullptr;
    auto band = AirSpaceManager::indexByLat.find(latitudeBand(lat));
    if (band == AirSpaceManager::indexByLat.end()) return nullptr;
    const double feet = std::max(elevation, 0.0);
    for (AirSpace* airSpace : band->second)
        if (airSpace->containsAltitude(feet) && airSpace->isInAirSpace(lat, lon) && accept(*airSpace)) return airSpace;
    return nullptr;
}

}  // namespace

void AirSpaceManager::load() {
    clear();
    if (!gSettings.useXP12Airspace) return;
    const std::string simulator = getSystemPathString();
    std::string path = simulator + CUSTOM_ATC_DAT;
    if (!fileExists(path)) path = simulator + DEFAULT_ATC_DAT;
    if (fileExists(path)) loadFile(path);
}

bool AirSpaceManager::loadFile(const std::string& path) {
    clear();
    FILE* file = fopen(path.c_str(), "r");
    if (!file) {
        sLogMsg("WARNING: Unable to open %s", path.c_str());
        return false;
    }
    AtcDatReader reader(airSpaces);
    {
        LineReader lines(file, MAX_LINE);
        size_t length = 0;
        std::string line;
        while (const char* text = lines.next(&length)) {
            line.assign(text, length);
            while (!line.empty() && line.back() == '\r') line.pop_back();
            reader.readLine(line);
        }
    }
    reader.end();
    fclose(file);
    index();

    if (reader.damagedCount() > 0)
        sLogMsg("WARNING: %d damaged entries ignored in %s, the first at line %d", reader.damagedCount(), path.c_str(),
                reader.firstDamagedLine());
    if (gSettings.debugOutput) {
        size_t sites = 0;
        for (const auto& airSpace : airSpaces) sites += airSpace->transmitterLocations.size();
        sLogMsg("Loaded %zu center airspaces with %zu transmitter sites from %s", airSpaces.size(), sites, path.c_str());
    }
    return true;
}

void AirSpaceManager::index() {
    indexByLat.clear();
    // Every band between the southernmost and northernmost vertex: a large
    // airspace covers bands in which none of its vertices lie.
    for (const auto& airSpace : airSpaces) {
        if (airSpace->polygon.empty()) continue;
        auto [south, north] =
            std::minmax_element(airSpace->polygon.begin(), airSpace->polygon.end(),
                                [](const GeoPoint& a, const GeoPoint& b) { return a.latitude < b.latitude; });
        for (int band = latitudeBand(south->latitude); band <= latitudeBand(north->latitude); ++band)
            indexByLat[band].push_back(airSpace.get());
    }
}

AirSpace* AirSpaceManager::getAirSpace(double lat, double lon, double elevation) {
    return firstHolding(lat, lon, elevation, [](const AirSpace&) { return true; });
}

AirSpace* AirSpaceManager::newAirSpace(double lat, double lon, double elevation) {
    AirSpace* current = getAirSpace(lat, lon, elevation);
    if (!current) return nullptr;
    AirSpace* previous = pLastChecked;
    pLastChecked = current;
    return previous && previous != current ? current : nullptr;
}

const Transmitter* AirSpaceManager::findNearestTransmitter(double lat, double lon, double elevation, int maxDistance,
                                                           const AirSpace** found) {
    const Transmitter* nearest = nullptr;
    const AirSpace* airSpace = firstHolding(lat, lon, elevation, [&](const AirSpace& candidate) {
        double distance = 0;
        nearest = candidate.nearestTransmitter(lat, lon, distance);
        return nearest && nearest->frequency > 0 && distance <= maxDistance;
    });
    if (!airSpace) return nullptr;
    if (found) *found = airSpace;
    return nearest;
}

cFrequency AirSpaceManager::findNearestCenterTransmitter(int maxDistance) {
    double lat = 0, lon = 0, elevation = 0;
    getLocation(lat, lon, &elevation);
    const AirSpace* airSpace = nullptr;
    const Transmitter* site = findNearestTransmitter(lat, lon, elevation, maxDistance, &airSpace);
    if (!site) return cFrequency();
    return cFrequency(site->frequency, "Ctr", airSpace->name + " CENTER");
}

void AirSpaceManager::clear() {
    indexByLat.clear();
    pLastChecked = nullptr;
    airSpaces.clear();
    TransmitterIndex::clear();
}
