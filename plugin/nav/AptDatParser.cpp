// Parsing one apt.dat file into the airport map.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <future>
#include <iterator>
#include <map>
#include <string_view>
#include <system_error>
#include <vector>

#include <sys/stat.h>

#include "AirportDatabase.h"
#include "common/Common.h"
#include "common/LineReader.h"

namespace {

constexpr size_t APT_LINE_BUFFER = 5000;  // lines up to 4,999 bytes
const char* const FREQUENCY_TYPES[] = {"Atis", "Unicom", "Clr", "Gnd", "Twr", "App", "Dep"};

// Blanks as scanf sees them in the C locale; inline, as every byte of every row passes here.
inline bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads blank-separated fields as scanf does: every read skips blanks first,
// and once a field does not scan, every later read fails as well and leaves
// its target untouched.
class FieldScanner {
public:
    FieldScanner(const char* text, size_t length) : m_Pos(text), m_End(text + length) {}

    FieldScanner& integer(int& out) {
        if (!start()) return *this;
        const char* p = m_Pos;
        bool negative = *p == '-';
        if (*p == '-' || *p == '+') ++p;
        long long value = 0;
        const char* digits = p;
        for (; p < m_End && *p >= '0' && *p <= '9'; ++p)
            if (value <= INT32_MAX) value = value * 10 + (*p - '0');
        if (p == digits) return failed();
        if (value > INT32_MAX) value = negative ? static_cast<long long>(INT32_MAX) + 1 : INT32_MAX;
        out = static_cast<int>(negative ? -value : value);
        m_Pos = p;
        return *this;
    }

    FieldScanner& real(double& out) {
        if (!start()) return *this;
        const char* p = m_Pos;
        if (*p == '+') {
            ++p;
            if (p < m_End && *p == '-') return failed();
        }
        double value = 0;
        auto result = std::from_chars(p, m_End, value, std::chars_format::general);
        if (result.ec != std::errc()) return failed();
        out = value;
        m_Pos = result.ptr;
        return *this;
    }

    FieldScanner& text(std::string_view& out) {
        if (!start()) return *this;
        const char* p = m_Pos;
        while (p < m_End && !isBlank(*p)) ++p;
        out = std::string_view(m_Pos, static_cast<size_t>(p - m_Pos));
        m_Pos = p;
        return *this;
    }

    FieldScanner& skipTexts(int count) {
        std::string_view ignored;
        for (int i = 0; i < count; ++i) text(ignored);
        return *this;
    }

    bool ok() const { return m_Ok; }

private:
    // Skips blanks; false when nothing is left to scan.
    bool start() {
        if (!m_Ok) return false;
        while (m_Pos < m_End && isBlank(*m_Pos)) ++m_Pos;
        if (m_Pos == m_End || *m_Pos == '\0') m_Ok = false;
        return m_Ok;
    }
    FieldScanner& failed() {
        m_Ok = false;
        return *this;
    }

    const char* m_Pos;
    const char* m_End;
    bool m_Ok = true;
};

// The first integer of the line, as the row code; commas count as blanks.
int rowCode(const char* line, size_t length) {
    const char* p = line;
    while (p < line + length && (isBlank(*p) || *p == ',')) ++p;
    int code = 0;
    FieldScanner(p, length - static_cast<size_t>(p - line)).integer(code);
    return code;
}

bool isAirportRow(int code) { return code == 1 || code == 16 || code == 17; }

int leadingInt(std::string_view text) {
    int value = 0;
    FieldScanner(text.data(), text.size()).integer(value);
    return value;
}

// The text from a fixed column, or "" when the line is shorter.
std::string fromColumn(const char* line, size_t length, size_t column) {
    return column < length ? std::string(line + column, length - column) : std::string();
}

class AptDatParser {
public:
    // Without `gathered` every airport goes straight into the map. With it the
    // airports are gathered there: the parser then reads a later part of a
    // file, not knowing the position the part before it ends with.
    explicit AptDatParser(std::map<std::string, cAirport>* gathered = nullptr)
        : m_Gathered(gathered), m_LatitudeKnown(!gathered), m_LongitudeKnown(!gathered) {}

    void parseLine(char* line, size_t length) {
        // Most rows of a scenery file are taxiways and pavement: they are dropped on their row code alone.
        const int code = rowCode(line, length);
        if (!isKnownRow(code)) return;
        if (char* cut = static_cast<char*>(memchr(line, '\r', length))) {
            *cut = '\0';
            length = static_cast<size_t>(cut - line);
        }
        for (char* p = line; (p = static_cast<char*>(memchr(p, ',', length - static_cast<size_t>(p - line)))); ++p)
            *p = ' ';
        if (isAirportRow(code))
            airportRow(line, length);
        else if (code == 15 || code == 1300)
            startLocationRow(code, line, length);
        else if (code >= 50 && code <= 56)
            oldFrequencyRow(code, line, length);
        else if (code >= 1050 && code <= 1056)
            frequencyRow(code, line, length);
        else if (code == 100)
            landRunwayRow(line, length);
        else if (code == 101)
            waterRunwayRow(line, length);
        else if (code == 102)
            helipadRow(line, length);
        else if (code == 1302)
            metadataRow(line, length);
        else if (code == 99)
            insertAirport();
    }

    // The end of the file: the last airport counts even when its 99 row is missing.
    void finish() { insertAirport(); }

    // Inserts what `later` gathered from the rest of the file. An airport
    // without a position of its own keeps the one of the airport before it,
    // so the first of them take the position this parser ended with.
    void insertGathered(AptDatParser& later) {
        for (cAirport* airport : later.m_InheritLatitude) airport->latitude = m_Airport.latitude;
        for (cAirport* airport : later.m_InheritLongitude) airport->longtitude = m_Airport.longtitude;
        // Both maps are in ident order: one pass over them finds where each new ident goes.
        auto& airports = cAirport::getAirports();
        auto& gathered = *later.m_Gathered;
        auto position = airports.begin();
        for (auto next = gathered.begin(); next != gathered.end();) {
            const auto airport = next++;
            while (position != airports.end() && position->first < airport->first) ++position;
            if (position == airports.end() || position->first != airport->first)
                airports.insert(position, gathered.extract(airport));
        }
        gathered.clear();
    }

private:
    static bool isKnownRow(int code) {
        return isAirportRow(code) || code == 15 || code == 1300 || (code >= 50 && code <= 56) ||
               (code >= 1050 && code <= 1056) || code == 100 || code == 101 || code == 102 || code == 1302 ||
               code == 99;
    }

    // The lists grow in vectors that keep their capacity from airport to
    // airport; the record gets them at their exact size.
    void insertAirport() {
        moveInto(m_Frequencies, m_Airport.frequencies);
        moveInto(m_Runways, m_Airport.runways);
        moveInto(m_StartLocations, m_Airport.startLocations);
        if (m_Gathered) {
            cAirport* airport = cAirport::addAirport(*m_Gathered, std::move(m_Airport));
            if (airport && !m_LatitudeKnown) m_InheritLatitude.push_back(airport);
            if (airport && !m_LongitudeKnown) m_InheritLongitude.push_back(airport);
        } else {
            cAirport::addAirport(std::move(m_Airport), true);
        }
        m_Airport.clear();
    }

    template <typename T>
    static void moveInto(std::vector<T>& gathered, std::vector<T>& record) {
        record.assign(std::make_move_iterator(gathered.begin()), std::make_move_iterator(gathered.end()));
        gathered.clear();
    }

    void airportRow(const char* line, size_t length) {
        insertAirport();
        int code = 0, elevation = 0, ignored1 = 0, ignored2 = 0;
        std::string_view ident;
        FieldScanner(line, length).integer(code).integer(elevation).integer(ignored1).integer(ignored2).text(ident);
        m_Airport.elevation = elevation;
        const float tpa = std::round(static_cast<float>(elevation) / 100.0f) * 100.0f + 1000.0f;
        m_Airport.tpa = std::fabs(tpa) < 2.0e9f ? static_cast<int>(tpa) : 0;
        m_Airport.icaoCode = std::string(ident);
        m_Airport.lat_lon_found = false;
        m_Airport.country.clear();
        // The name starts one character after the ident field.
        const char* afterIdent = ident.data() ? ident.data() + ident.size() : line + length;
        m_Airport.name = afterIdent < line + length ? std::string(afterIdent + 1, line + length) : std::string();
    }

    void startLocationRow(int code, const char* line, size_t length) {
        int ignored = 0;
        cStartLocation location;
        if (!FieldScanner(line, length).integer(ignored).real(location.latitude).real(location.longtitude).ok())
            return;
        location.name = findLastWhiteSpace(line, code == 15 ? 4 : 6);
        if (code == 1300 && location.name.empty()) return;
        m_StartLocations.push_back(std::move(location));
    }

    void oldFrequencyRow(int code, const char* line, size_t length) {
        int ignored = 0;
        std::string_view value;
        FieldScanner(line, length).integer(ignored).text(value);
        // Units of 10 kHz: 12872 is 128.725 MHz, 12880 is 128.800 MHz.
        int khz;
        if (value.size() >= 5) {
            char digits[7];
            memcpy(digits, value.data(), 5);
            digits[5] = value[4] == '2' || value[4] == '7' ? '5' : '0';
            digits[6] = '\0';
            khz = leadingInt(std::string_view(digits, 6));
        } else {
            khz = leadingInt(value);
        }
        if (khz < 1) return;
        m_Frequencies.emplace_back(khz, FREQUENCY_TYPES[code - 50], fromColumn(line, length, 9));
    }

    void frequencyRow(int code, const char* line, size_t length) {
        if (code == 1050 && strstr(line, "Generated by WorldEditor")) return;
        int ignored = 0, khz = 0;
        FieldScanner(line, length).integer(ignored).integer(khz);
        if (khz <= 0) return;
        m_Frequencies.emplace_back(khz, FREQUENCY_TYPES[code - 1050], fromColumn(line, length, 12));
    }

    void landRunwayRow(const char* line, size_t length) {
        int ignored = 0;
        std::string_view first, second;
        double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
        FieldScanner scanner(line, length);
        scanner.integer(ignored).skipTexts(7).text(first).real(lat1).real(lon1);
        scanner.skipTexts(6).text(second).real(lat2).real(lon2);
        if (scanner.ok()) addRunway(first, lat1, lon1, second, lat2, lon2, LAND);
    }

    void waterRunwayRow(const char* line, size_t length) {
        int ignored = 0;
        std::string_view first, second;
        double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
        FieldScanner scanner(line, length);
        scanner.integer(ignored).skipTexts(2).text(first).real(lat1).real(lon1).text(second).real(lat2).real(lon2);
        if (scanner.ok()) addRunway(first, lat1, lon1, second, lat2, lon2, WATER);
    }

    void addRunway(std::string_view firstName, double lat1, double lon1, std::string_view secondName, double lat2,
                   double lon2, RunwayType type) {
        cRunway first, second;
        first.number = fixRunwayName(std::string(firstName));
        first.latitude = lat1;
        first.longitude = lon1;
        first.type = type;
        second.number = fixRunwayName(std::string(secondName));
        second.latitude = lat2;
        second.longitude = lon2;
        second.type = type;
        calculateRunwayHeadings(first, second);
        placeAirport(lat1, lon1);
        m_Runways.push_back(std::move(first));
        m_Runways.push_back(std::move(second));
    }

    void helipadRow(const char* line, size_t length) {
        int ignored = 0;
        std::string_view designator;
        cRunway helipad;
        if (!FieldScanner(line, length).integer(ignored).text(designator).real(helipad.latitude).real(helipad.longitude).ok())
            return;
        helipad.number = std::string(designator);
        helipad.oppositeNumber = helipad.number;
        helipad.type = HELIPAD;
        placeAirport(helipad.latitude, helipad.longitude);
        m_Runways.push_back(std::move(helipad));
    }

    // Without datum rows the airport stands at its first runway end or helipad.
    void placeAirport(double latitude, double longitude) {
        if (m_Airport.lat_lon_found) return;
        m_Airport.latitude = latitude;
        m_Airport.longtitude = longitude;
        m_Airport.lat_lon_found = true;
        m_LatitudeKnown = m_LongitudeKnown = true;
    }

    void metadataRow(const char* line, size_t length) {
        int ignored = 0;
        std::string_view key;
        double value = 0;
        FieldScanner scanner(line, length);
        scanner.integer(ignored).text(key);
        if (key == "datum_lat") {
            if (length >= 17 && scanner.real(value).ok()) {
                m_Airport.latitude = value;
                m_LatitudeKnown = true;
            }
        } else if (key == "datum_lon") {
            if (length >= 17 && scanner.real(value).ok()) {
                m_Airport.longtitude = value;
                m_Airport.lat_lon_found = true;
                m_LongitudeKnown = true;
            }
        } else if (key == "country") {
            if (length > 13) m_Airport.country = fromColumn(line, length, 13);
        } else if (key == "icao_code") {
            if (length > 16) m_Airport.trueIcaoCode = fromColumn(line, length, 15);
        }
    }

    cAirport m_Airport;
    std::map<std::string, cAirport>* m_Gathered;
    // Whether a row of this parser has set the coordinate yet; the airports gathered before one did.
    bool m_LatitudeKnown, m_LongitudeKnown;
    std::vector<cAirport*> m_InheritLatitude, m_InheritLongitude;
    std::vector<cFrequency> m_Frequencies;
    std::vector<cRunway> m_Runways;
    std::vector<cStartLocation> m_StartLocations;
};

void parseLines(AptDatParser& parser, FILE* file, uint64_t limit) {
    {
        LineReader reader(file, APT_LINE_BUFFER, limit);
        size_t length = 0;
        while (char* line = reader.next(&length)) parser.parseLine(line, length);
    }
    parser.finish();
}

// Files smaller than this are read by one thread.
constexpr uint64_t SPLIT_FILE_SIZE = 1 << 20;

// Where the first airport row after the middle of the file starts, or 0 for a
// small file or none found.
uint64_t airportStartNearMiddle(FILE* file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || static_cast<uint64_t>(info.st_size) < SPLIT_FILE_SIZE) return 0;
    const uint64_t middle = static_cast<uint64_t>(info.st_size) / 2;
    if (fseeko(file, static_cast<off_t>(middle), SEEK_SET) != 0) return 0;
    LineReader reader(file, APT_LINE_BUFFER);
    size_t length = 0;
    bool whole = false;  // the line read from the middle is only the tail of one
    for (;;) {
        const uint64_t start = reader.consumed();
        char* line = reader.next(&length);
        if (!line) return 0;
        if (whole && isAirportRow(rowCode(line, length))) return middle + start;
        // Behind a line cut at the limit lies the dropped rest, not a line start.
        whole = length < APT_LINE_BUFFER - 1;
    }
}

}  // namespace

void processAirportFile(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return;
    sLogMsg("Processing: %s", path.c_str());
    // A large file is read in two halves at once, split where an airport starts.
    const uint64_t split = airportStartNearMiddle(file);
    FILE* rest = split ? fopen(path.c_str(), "rb") : nullptr;
    std::map<std::string, cAirport> gathered;
    AptDatParser later(&gathered);
    std::future<void> reading;
    if (rest && fseeko(rest, static_cast<off_t>(split), SEEK_SET) == 0) {
        try {
            reading = std::async(std::launch::async, [&later, rest] { parseLines(later, rest, UINT64_MAX); });
        } catch (const std::system_error&) {
            // No thread to be had: one reads it all.
        }
    }
    AptDatParser parser;
    rewind(file);
    parseLines(parser, file, reading.valid() ? split : UINT64_MAX);
    fclose(file);
    if (reading.valid()) {
        reading.get();
        parser.insertGathered(later);
    }
    if (rest) fclose(rest);
}

std::string fixRunwayName(const std::string& name) {
    const size_t length = name.size();
    if (length == 0 || length == 3 || !(name[0] >= '0' && name[0] <= '9')) return name;
    const bool lastIsDigit = name[length - 1] >= '0' && name[length - 1] <= '9';
    if ((lastIsDigit && length == 1) || (!lastIsDigit && length <= 2)) return "0" + name;
    return name;
}

void calculateRunwayHeadings(cRunway& end1, cRunway& end2) {
    end1.oppositeNumber = end2.number;
    end2.oppositeNumber = end1.number;
    // Each end points along the way to the other end: end 1 with the azimuth
    // leaving it, end 2 with the azimuth arriving at it, turned round.
    double arrival = 0, departure = 0;
    const double metres =
        getDistanceVincenty(end1.latitude, end1.longitude, end2.latitude, end2.longitude, &arrival, &departure);
    if (!(metres > 0)) return;  // coincident ends or no convergence: no direction to take
    auto reduce = [](double bearing) { return static_cast<float>(bearing > 360 ? bearing - 360 : bearing); };
    end1.trueHeading = reduce(departure);
    end2.trueHeading = reduce(arrival + 180);
    const double feet = metres * 3.2808399;
    const unsigned int length = feet < 4.0e9 ? static_cast<unsigned int>(feet) : 0;
    end1.lengthInFeet = length;
    end2.lengthInFeet = length;
}
