// The airport cache "airports.dat": fixed-size little-endian records, so that
// a normal start reads one binary file without any text parsing.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "AirportDatabase.h"
#include "common/Common.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the cache is written in the host's byte order");

namespace {

constexpr size_t AIRPORT_DUMP_SIZE = 256;
constexpr size_t FREQUENCY_DUMP_SIZE = 116;
constexpr size_t RUNWAY_DUMP_SIZE = 88;
constexpr size_t STARTING_LOCATION_DUMP_SIZE = 120;
constexpr size_t IO_BUFFER_SIZE = 1 << 16;

// One record being assembled or taken apart at the offsets of the layout.
template <size_t Size>
struct Record {
    unsigned char bytes[Size] = {};

    template <typename T>
    void put(size_t offset, T value) {
        memcpy(bytes + offset, &value, sizeof value);
    }
    // Cut to width - 1 characters; the rest of the field stays zero.
    void putText(size_t offset, size_t width, const std::string& text) {
        memcpy(bytes + offset, text.data(), std::min(text.size(), width - 1));
    }
    template <typename T>
    T get(size_t offset) const {
        T value;
        memcpy(&value, bytes + offset, sizeof value);
        return value;
    }
    bool getBool(size_t offset) const { return bytes[offset] != 0; }
    // A damaged file may lack the terminator: never read past the field.
    std::string getText(size_t offset, size_t width) const {
        const char* text = reinterpret_cast<const char*>(bytes + offset);
        return std::string(text, strnlen(text, width));
    }
};

int32_t countOf(size_t size) { return static_cast<int32_t>(std::min<size_t>(size, INT32_MAX)); }

// A file with a large stream buffer that lives until the file is closed.
class BufferedFile {
public:
    BufferedFile(const std::string& path, const char* mode) : m_File(fopen(path.c_str(), mode)) {
        if (m_File) setvbuf(m_File, m_Buffer.get(), _IOFBF, IO_BUFFER_SIZE);
    }
    ~BufferedFile() { close(); }
    BufferedFile(const BufferedFile&) = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;
    FILE* get() const { return m_File; }
    bool close() {
        const bool closed = m_File && fclose(m_File) == 0;
        m_File = nullptr;
        return closed;
    }

private:
    std::unique_ptr<char[]> m_Buffer{new char[IO_BUFFER_SIZE]};
    FILE* m_File;
};

class CacheWriter {
public:
    explicit CacheWriter(FILE* file) : m_File(file) {}
    template <size_t Size>
    void write(const Record<Size>& record) {
        m_Ok = m_Ok && fwrite(record.bytes, Size, 1, m_File) == 1;
    }
    void writeInt(int32_t value) { m_Ok = m_Ok && fwrite(&value, sizeof value, 1, m_File) == 1; }
    bool ok() const { return m_Ok; }

private:
    FILE* m_File;
    bool m_Ok = true;
};

void writeAirport(CacheWriter& out, const cAirport& airport) {
    Record<AIRPORT_DUMP_SIZE> dump;
    dump.put<double>(0, airport.latitude);
    dump.put<double>(8, airport.longtitude);
    dump.put<int32_t>(16, airport.elevation);
    dump.put<uint8_t>(20, airport.hasRadarServices);
    dump.put<uint8_t>(21, airport.useStandardOverheadJoin);
    dump.put<int32_t>(24, countOf(airport.runways.size()));
    dump.put<int32_t>(28, countOf(airport.frequencies.size()));
    dump.put<int32_t>(32, countOf(airport.startLocations.size()));
    dump.putText(36, 10, airport.icaoCode);
    dump.putText(46, 10, airport.trueIcaoCode);
    dump.putText(56, 100, airport.name);
    dump.putText(156, 100, airport.country);
    out.write(dump);
    for (const cFrequency& frequency : airport.frequencies) {
        Record<FREQUENCY_DUMP_SIZE> record;
        record.put<int32_t>(0, frequency.freq);
        record.putText(4, 10, frequency.type);
        record.putText(14, 100, frequency.name);
        out.write(record);
    }
    for (const cRunway& runway : airport.runways) {
        Record<RUNWAY_DUMP_SIZE> record;
        record.putText(0, 25, runway.number);
        record.putText(25, 25, runway.oppositeNumber);
        record.put<double>(56, runway.latitude);
        record.put<double>(64, runway.longitude);
        record.put<float>(72, runway.trueHeading);
        record.put<uint32_t>(76, runway.lengthInFeet);
        record.put<int32_t>(80, runway.type);
        out.write(record);
    }
    for (const cStartLocation& location : airport.startLocations) {
        Record<STARTING_LOCATION_DUMP_SIZE> record;
        record.putText(0, 100, location.name);
        record.put<double>(104, location.latitude);
        record.put<double>(112, location.longtitude);
        out.write(record);
    }
}

class CacheReader {
public:
    CacheReader(FILE* file, uint64_t size) : m_File(file), m_Remaining(size) {}
    bool read(void* out, size_t size) {
        if (size > m_Remaining || fread(out, size, 1, m_File) != 1) return false;
        m_Remaining -= size;
        return true;
    }
    template <size_t Size>
    bool read(Record<Size>& record) {
        return read(record.bytes, Size);
    }
    // A count read from the file is believed only when the file still holds that many records.
    bool holds(int32_t count, size_t recordSize) const {
        return count >= 0 && static_cast<uint64_t>(count) * recordSize <= m_Remaining;
    }

private:
    FILE* m_File;
    uint64_t m_Remaining;
};

RunwayType runwayType(int32_t value) {
    return value == WATER ? WATER : value == HELIPAD ? HELIPAD : LAND;
}

// One list of an airport; false after logging when the file ends or its count lies.
template <size_t Size, typename Item, typename Fill>
bool readList(CacheReader& in, int32_t count, std::vector<Item>& list, const char* what, const std::string& airport,
              Fill fill) {
    if (in.holds(count, Size)) {
        list.resize(static_cast<size_t>(count));
        Record<Size> record;
        bool read = true;
        for (Item& item : list) {
            if (!(read = in.read(record))) break;
            fill(record, item);
        }
        if (read) return true;
    }
    sLogMsg("Unexpected Error reading %s from airport %s", what, airport.c_str());
    return false;
}

// One airport with its lists; false after logging when the file ends or lies.
bool readAirport(CacheReader& in, int index, const std::string& path) {
    Record<AIRPORT_DUMP_SIZE> dump;
    if (!in.read(dump)) {
        sLogMsg("Unexpected Error reading airport %d from %s", index, path.c_str());
        return false;
    }
    cAirport airport;
    airport.latitude = dump.get<double>(0);
    airport.longtitude = dump.get<double>(8);
    airport.elevation = dump.get<int32_t>(16);
    airport.hasRadarServices = dump.getBool(20);
    airport.useStandardOverheadJoin = dump.getBool(21);
    const int32_t runwayCount = dump.get<int32_t>(24);
    const int32_t frequencyCount = dump.get<int32_t>(28);
    const int32_t startingLocationCount = dump.get<int32_t>(32);
    airport.icaoCode = dump.getText(36, 10);
    airport.trueIcaoCode = dump.getText(46, 10);
    airport.name = dump.getText(56, 100);
    airport.country = dump.getText(156, 100);

    const bool complete =
        readList<FREQUENCY_DUMP_SIZE>(in, frequencyCount, airport.frequencies, "frequency", airport.name,
                                      [](const auto& record, cFrequency& frequency) {
                                          frequency.freq = record.template get<int32_t>(0);
                                          frequency.type = record.getText(4, 10);
                                          frequency.name = record.getText(14, 100);
                                      }) &&
        readList<RUNWAY_DUMP_SIZE>(in, runwayCount, airport.runways, "runway", airport.name,
                                   [](const auto& record, cRunway& runway) {
                                       runway.number = record.getText(0, 25);
                                       runway.oppositeNumber = record.getText(25, 25);
                                       runway.latitude = record.template get<double>(56);
                                       runway.longitude = record.template get<double>(64);
                                       runway.trueHeading = record.template get<float>(72);
                                       runway.lengthInFeet = record.template get<uint32_t>(76);
                                       runway.type = runwayType(record.template get<int32_t>(80));
                                   }) &&
        readList<STARTING_LOCATION_DUMP_SIZE>(in, startingLocationCount, airport.startLocations, "starting location",
                                              airport.name, [](const auto& record, cStartLocation& location) {
                                                  location.name = record.getText(0, 100);
                                                  location.latitude = record.template get<double>(104);
                                                  location.longtitude = record.template get<double>(112);
                                              });
    if (!complete) return false;
    cAirport::addAirport(std::move(airport), false);
    return true;
}

}  // namespace

void dumpAirports() {
    const std::string path = makePluginFileName("airports.dat");
    // Written aside and moved into place, so that an interrupted write never leaves a short cache.
    const std::string temporary = path + ".new";
    BufferedFile file(temporary, "wb");
    if (!file.get()) {
        sLogMsg("Unable to create %s", path.c_str());
        return;
    }
    CacheWriter out(file.get());
    out.writeInt(AIRPORT_CACHE_VERSION);
    out.writeInt(countOf(cAirport::airports.size()));
    for (const auto& entry : cAirport::airports) writeAirport(out, entry.second);
    const bool ok = file.close() && out.ok();
    if (!ok || rename(temporary.c_str(), path.c_str()) != 0) {
        // A stale cache must not outlive a rebuild that could not be saved.
        sLogMsg("Unable to write %s", path.c_str());
        remove(temporary.c_str());
        remove(path.c_str());
    }
}

AirportCacheResult readAirportCache(const std::string& path) {
    BufferedFile file(path, "rb");
    if (!file.get()) {
        sLogMsg("Unable to open %s, creating new airport cache file", path.c_str());
        return AirportCacheResult::MISSING;
    }
    struct stat info;
    const uint64_t size = fstat(fileno(file.get()), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
    CacheReader in(file.get(), size);
    int32_t version = 0, count = 0;
    if (!in.read(&version, sizeof version)) {
        sLogMsg("Unexpected Error reading %s", path.c_str());
        return AirportCacheResult::DAMAGED;
    }
    if (version != AIRPORT_CACHE_VERSION) {
        sLogMsg("Airport cache is version %d, was expecting %d. Recreating the airport cache file %s", version,
                AIRPORT_CACHE_VERSION, path.c_str());
        return AirportCacheResult::OUTDATED;
    }
    if (!in.read(&count, sizeof count) || count < 0) {
        sLogMsg("Unexpected Error reading %s", path.c_str());
        return AirportCacheResult::DAMAGED;
    }
    sLogMsg("Loading %d airports from %s", count, path.c_str());
    for (int32_t i = 0; i < count; ++i)
        if (!readAirport(in, i, path)) return AirportCacheResult::DAMAGED;
    return AirportCacheResult::LOADED;
}
