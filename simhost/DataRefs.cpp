#include "DataRefs.h"

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include "Sim.h"

namespace sim {
namespace {

struct DataRef {
    std::string name;
    int types = 0;
    bool writable = true;
    bool alive = true;
    // Own storage: simulator datarefs and shared data.
    double scalar = 0;
    std::vector<float> floats;
    std::vector<int> ints;
    std::vector<uint8_t> bytes;
    // Plug-in accessors.
    bool accessor = false;
    XPLMGetDatai_f getInt = nullptr;
    XPLMSetDatai_f setInt = nullptr;
    XPLMGetDataf_f getFloat = nullptr;
    XPLMSetDataf_f setFloat = nullptr;
    XPLMGetDatad_f getDouble = nullptr;
    XPLMSetDatad_f setDouble = nullptr;
    XPLMGetDatavi_f getInts = nullptr;
    XPLMSetDatavi_f setInts = nullptr;
    XPLMGetDatavf_f getFloats = nullptr;
    XPLMSetDatavf_f setFloats = nullptr;
    XPLMGetDatab_f getBytes = nullptr;
    XPLMSetDatab_f setBytes = nullptr;
    void* readRefcon = nullptr;
    void* writeRefcon = nullptr;
    // Shared data listeners.
    std::vector<std::pair<XPLMDataChanged_f, void*>> listeners;
};

std::vector<DataRefPreset>& presetList() {
    static std::vector<DataRefPreset> list;
    return list;
}
std::vector<std::unique_ptr<DataRef>>& storage() {
    static std::vector<std::unique_ptr<DataRef>> list;
    return list;
}
std::map<std::string, DataRef*>& byName() {
    static std::map<std::string, DataRef*> map;
    return map;
}

DataRef* live(XPLMDataRef ref) {
    auto* entry = static_cast<DataRef*>(ref);
    return entry && entry->alive ? entry : nullptr;
}

DataRef* create(const std::string& name, int types, int size = 0, double value = 0) {
    storage().push_back(std::make_unique<DataRef>());
    DataRef* entry = storage().back().get();
    entry->name = name;
    entry->types = types;
    entry->scalar = value;
    if (types & xplmType_FloatArray) entry->floats.assign(static_cast<size_t>(size), static_cast<float>(value));
    if (types & xplmType_IntArray) entry->ints.assign(static_cast<size_t>(size), static_cast<int>(value));
    if (types & xplmType_Data) entry->bytes.assign(static_cast<size_t>(size), 0);
    byName()[name] = entry;
    return entry;
}

void notify(DataRef* entry) {
    auto listeners = entry->listeners;  // a listener may unshare
    for (auto& listener : listeners)
        if (listener.first) listener.first(listener.second);
}

// Copies a window of `source` into `out` following the array-getter rules.
template <typename T>
int copyOut(const std::vector<T>& source, T* out, int offset, int max) {
    if (!out) return static_cast<int>(source.size());
    if (offset < 0 || max <= 0 || offset >= static_cast<int>(source.size())) return 0;
    int count = std::min(max, static_cast<int>(source.size()) - offset);
    memcpy(out, source.data() + offset, sizeof(T) * static_cast<size_t>(count));
    return count;
}

template <typename T>
void copyIn(std::vector<T>& target, const T* values, int offset, int count) {
    if (!values || offset < 0 || count <= 0) return;
    size_t end = static_cast<size_t>(offset) + static_cast<size_t>(count);
    if (end > target.size()) target.resize(end);  // shared data grows; simulator arrays are preset large enough
    memcpy(target.data() + offset, values, sizeof(T) * static_cast<size_t>(count));
}

DataRef* require(const std::string& name) {
    auto it = byName().find(name);
    if (it == byName().end() || !it->second->alive) throw std::runtime_error("no dataref named " + name);
    return it->second;
}

std::string formatNumber(double value) {
    char text[64];
    snprintf(text, sizeof text, "%.10g", value);
    return text;
}

Registrar registrar([] {
    registerStartHook(createPresetDataRefs);
    registerStep({"set", "set <dataref>[<index>] <value>...: write a dataref as another plug-in would",
                  [](const Args& args) {
                      if (args.size() < 2) throw std::runtime_error("usage: set <dataref>[<index>] <value>...");
                      std::string name;
                      int index;
                      parseDataRefName(args[0], name, index);
                      setDataRef(name, index, Args(args.begin() + 1, args.end()));
                  }});
    registerStep({"expect-dataref", "expect-dataref <dataref>[<index>] <op> <value>: op is == != < <= > >= or contains",
                  [](const Args& args) {
                      if (args.size() != 3) throw std::runtime_error("usage: expect-dataref <dataref> <op> <value>");
                      std::string name;
                      int index;
                      parseDataRefName(args[0], name, index);
                      std::string actual = getDataRefText(name, index);
                      const std::string& op = args[1];
                      const std::string& wanted = args[2];
                      bool ok;
                      if (op == "contains") {
                          ok = actual.find(wanted) != std::string::npos;
                      } else {
                          char* end = nullptr;
                          double expected = strtod(wanted.c_str(), &end);
                          bool numeric = !wanted.empty() && *end == '\0';
                          double value = strtod(actual.c_str(), &end);
                          numeric = numeric && !actual.empty() && *end == '\0';
                          double tolerance = 1e-4 * std::max(1.0, fabs(expected));
                          if (!numeric && op == "==") ok = actual == wanted;
                          else if (!numeric && op == "!=") ok = actual != wanted;
                          else if (!numeric) throw std::runtime_error("'" + op + "' needs numbers");
                          else if (op == "==") ok = fabs(value - expected) <= tolerance;
                          else if (op == "!=") ok = fabs(value - expected) > tolerance;
                          else if (op == "<") ok = value < expected;
                          else if (op == "<=") ok = value <= expected + tolerance;
                          else if (op == ">") ok = value > expected;
                          else if (op == ">=") ok = value >= expected - tolerance;
                          else throw std::runtime_error("unknown comparison '" + op + "'");
                      }
                      if (!ok)
                          Sim::get().fail("at " + std::to_string(Sim::get().simTime) + " s: " + args[0] + " is '" +
                                          actual + "', expected " + op + " '" + wanted + "'");
                  }});
    registerStep({"define", "define <name> int|float|double|floats|ints|bytes [<size>] [<value>]: a dataref of another plug-in",
                  [](const Args& args) {
                      if (args.size() < 2) throw std::runtime_error("usage: define <name> <type> [<size>] [<value>]");
                      const bool sized = args[1] == "floats" || args[1] == "ints" || args[1] == "bytes";
                      const size_t valueAt = sized ? 3 : 2;
                      const int size = sized && args.size() > 2 ? toInt(args[2], "size") : 0;
                      const double value = args.size() > valueAt ? toDouble(args[valueAt], "value") : 0;
                      defineDataRef(args[0], args[1], size, value);
                  }});
    registerStep({"dataref", "dataref present|absent <dataref>: whether the name is known",
                  [](const Args& args) {
                      if (args.size() != 2 || (args[0] != "present" && args[0] != "absent"))
                          throw std::runtime_error("usage: dataref present|absent <dataref>");
                      if (dataRefExists(args[1]) != (args[0] == "present"))
                          Sim::get().fail(args[1] + " is not " + args[0]);
                  }});
});

}  // namespace

void addDataRefPresets(const std::vector<DataRefPreset>& presets) {
    presetList().insert(presetList().end(), presets.begin(), presets.end());
}

void createPresetDataRefs() {
    const bool xp11 = Sim::get().flag("xp11");
    for (const auto& preset : presetList()) {
        if ((preset.onlyIn == 12 && xp11) || (preset.onlyIn == 11 && !xp11)) continue;
        create(preset.name, preset.type, preset.size, preset.value)->writable = preset.writable;
    }
}

void clearDataRefs() {
    byName().clear();
    storage().clear();
}

bool dataRefExists(const std::string& name) {
    auto it = byName().find(name);
    return it != byName().end() && it->second->alive;
}

void defineDataRef(const std::string& name, const std::string& type, int size, double value) {
    static const std::map<std::string, int> types = {{"int", xplmType_Int},         {"float", xplmType_Float},
                                                     {"double", xplmType_Double},   {"floats", xplmType_FloatArray},
                                                     {"ints", xplmType_IntArray},   {"bytes", xplmType_Data}};
    auto it = types.find(type);
    if (it == types.end()) throw std::runtime_error("unknown dataref type " + type);
    if (dataRefExists(name)) throw std::runtime_error("dataref " + name + " exists already");
    create(name, it->second, size, value);
}

void parseDataRefName(const std::string& text, std::string& name, int& index) {
    index = -1;
    name = text;
    size_t open = text.find('[');
    if (open == std::string::npos || text.back() != ']') return;
    std::string number = text.substr(open + 1, text.size() - open - 2);
    // Simulator datarefs may carry brackets in their names ("wind_speed_kt[0]").
    if (dataRefExists(text)) return;
    name = text.substr(0, open);
    index = toInt(number, text);
}

void setDataRef(const std::string& name, int index, const std::vector<std::string>& values) {
    DataRef* entry = require(name);
    XPLMDataRef ref = entry;
    const int types = entry->types;
    // Scenario writes are the simulator's own: read-only simulator datarefs change too.
    const bool saved = entry->writable;
    if (!entry->accessor) entry->writable = true;
    struct Restore {
        DataRef* e;
        bool w;
        ~Restore() { e->writable = w; }
    } restore{entry, saved};

    if (types & xplmType_Data) {
        std::string text = values[0];
        for (size_t i = 1; i < values.size(); ++i) text += " " + values[i];
        std::vector<char> bytes(text.begin(), text.end());
        bytes.push_back('\0');
        XPLMSetDatab(ref, bytes.data(), index < 0 ? 0 : index, static_cast<int>(bytes.size()));
    } else if (types & (xplmType_FloatArray | xplmType_IntArray)) {
        int offset = index < 0 ? 0 : index;
        if (types & xplmType_FloatArray) {
            std::vector<float> numbers;
            for (const auto& value : values) numbers.push_back(static_cast<float>(toDouble(value, name)));
            XPLMSetDatavf(ref, numbers.data(), offset, static_cast<int>(numbers.size()));
        } else {
            std::vector<int> numbers;
            for (const auto& value : values) numbers.push_back(toInt(value, name));
            XPLMSetDatavi(ref, numbers.data(), offset, static_cast<int>(numbers.size()));
        }
    } else {
        if (values.size() != 1 || index >= 0) throw std::runtime_error(name + " takes one value");
        double value = toDouble(values[0], name);
        if (types & xplmType_Double) XPLMSetDatad(ref, value);
        else if (types & xplmType_Float) XPLMSetDataf(ref, static_cast<float>(value));
        else XPLMSetDatai(ref, static_cast<int>(lround(value)));
    }
}

std::string getDataRefText(const std::string& name, int index) {
    DataRef* entry = require(name);
    XPLMDataRef ref = entry;
    const int types = entry->types;
    if (types & xplmType_Data) {
        int size = XPLMGetDatab(ref, nullptr, 0, 0);
        std::vector<char> bytes(static_cast<size_t>(std::max(size, 0)) + 1, '\0');
        XPLMGetDatab(ref, bytes.data(), 0, size);
        return std::string(bytes.data());
    }
    if (types & (xplmType_FloatArray | xplmType_IntArray)) {
        int at = index < 0 ? 0 : index;
        if (types & xplmType_FloatArray) {
            float value = 0;
            if (XPLMGetDatavf(ref, &value, at, 1) != 1) throw std::runtime_error(name + " has no element " + std::to_string(at));
            return formatNumber(value);
        }
        int value = 0;
        if (XPLMGetDatavi(ref, &value, at, 1) != 1) throw std::runtime_error(name + " has no element " + std::to_string(at));
        return formatNumber(value);
    }
    if (types & xplmType_Double) return formatNumber(XPLMGetDatad(ref));
    if (types & xplmType_Float) return formatNumber(XPLMGetDataf(ref));
    return formatNumber(XPLMGetDatai(ref));
}

}  // namespace sim

using sim::DataRef;
using sim::live;

extern "C" {

XPLMDataRef XPLMFindDataRef(const char* dataRefName) {
    if (!dataRefName) return nullptr;
    auto it = sim::byName().find(dataRefName);
    return it != sim::byName().end() && it->second->alive ? it->second : nullptr;
}

XPLMDataTypeID XPLMGetDataRefTypes(XPLMDataRef dataRef) {
    DataRef* entry = live(dataRef);
    return entry ? entry->types : xplmType_Unknown;
}

// Scalar reads answer for every scalar type the dataref declares; a read of a
// type it does not have gives 0, as the simulator does.
int XPLMGetDatai(XPLMDataRef dataRef) {
    DataRef* entry = live(dataRef);
    if (!entry || !(entry->types & xplmType_Int)) return 0;
    if (entry->accessor) return entry->getInt ? entry->getInt(entry->readRefcon) : 0;
    return static_cast<int>(entry->scalar);
}

float XPLMGetDataf(XPLMDataRef dataRef) {
    DataRef* entry = live(dataRef);
    if (!entry || !(entry->types & xplmType_Float)) return 0;
    if (entry->accessor) return entry->getFloat ? entry->getFloat(entry->readRefcon) : 0;
    return static_cast<float>(entry->scalar);
}

double XPLMGetDatad(XPLMDataRef dataRef) {
    DataRef* entry = live(dataRef);
    if (!entry || !(entry->types & xplmType_Double)) return 0;
    if (entry->accessor) return entry->getDouble ? entry->getDouble(entry->readRefcon) : 0;
    return entry->scalar;
}

int XPLMGetDatavi(XPLMDataRef dataRef, int* outValues, int offset, int max) {
    DataRef* entry = live(dataRef);
    if (!entry || !(entry->types & xplmType_IntArray)) return 0;
    if (entry->accessor) return entry->getInts ? entry->getInts(entry->readRefcon, outValues, offset, max) : 0;
    return sim::copyOut(entry->ints, outValues, offset, max);
}

int XPLMGetDatavf(XPLMDataRef dataRef, float* outValues, int offset, int max) {
    DataRef* entry = live(dataRef);
    if (!entry || !(entry->types & xplmType_FloatArray)) return 0;
    if (entry->accessor) return entry->getFloats ? entry->getFloats(entry->readRefcon, outValues, offset, max) : 0;
    return sim::copyOut(entry->floats, outValues, offset, max);
}

int XPLMGetDatab(XPLMDataRef dataRef, void* outValue, int offset, int maxBytes) {
    DataRef* entry = live(dataRef);
    if (!entry || !(entry->types & xplmType_Data)) return 0;
    if (entry->accessor) return entry->getBytes ? entry->getBytes(entry->readRefcon, outValue, offset, maxBytes) : 0;
    return sim::copyOut(entry->bytes, static_cast<uint8_t*>(outValue), offset, maxBytes);
}

void XPLMSetDatai(XPLMDataRef dataRef, int value) {
    DataRef* entry = live(dataRef);
    if (!entry || !entry->writable || !(entry->types & xplmType_Int)) return;
    if (entry->accessor) {
        if (entry->setInt) entry->setInt(entry->writeRefcon, value);
        return;
    }
    entry->scalar = value;
    sim::notify(entry);
}

void XPLMSetDataf(XPLMDataRef dataRef, float value) {
    DataRef* entry = live(dataRef);
    if (!entry || !entry->writable || !(entry->types & xplmType_Float)) return;
    if (entry->accessor) {
        if (entry->setFloat) entry->setFloat(entry->writeRefcon, value);
        return;
    }
    entry->scalar = value;
    sim::notify(entry);
}

void XPLMSetDatad(XPLMDataRef dataRef, double value) {
    DataRef* entry = live(dataRef);
    if (!entry || !entry->writable || !(entry->types & xplmType_Double)) return;
    if (entry->accessor) {
        if (entry->setDouble) entry->setDouble(entry->writeRefcon, value);
        return;
    }
    entry->scalar = value;
    sim::notify(entry);
}

void XPLMSetDatavi(XPLMDataRef dataRef, int* values, int offset, int count) {
    DataRef* entry = live(dataRef);
    if (!entry || !entry->writable || !(entry->types & xplmType_IntArray)) return;
    if (entry->accessor) {
        if (entry->setInts) entry->setInts(entry->writeRefcon, values, offset, count);
        return;
    }
    sim::copyIn(entry->ints, values, offset, count);
    sim::notify(entry);
}

void XPLMSetDatavf(XPLMDataRef dataRef, float* values, int offset, int count) {
    DataRef* entry = live(dataRef);
    if (!entry || !entry->writable || !(entry->types & xplmType_FloatArray)) return;
    if (entry->accessor) {
        if (entry->setFloats) entry->setFloats(entry->writeRefcon, values, offset, count);
        return;
    }
    sim::copyIn(entry->floats, values, offset, count);
    sim::notify(entry);
}

void XPLMSetDatab(XPLMDataRef dataRef, void* value, int offset, int length) {
    DataRef* entry = live(dataRef);
    if (!entry || !entry->writable || !(entry->types & xplmType_Data)) return;
    if (entry->accessor) {
        if (entry->setBytes) entry->setBytes(entry->writeRefcon, value, offset, length);
        return;
    }
    sim::copyIn(entry->bytes, static_cast<const uint8_t*>(value), offset, length);
    sim::notify(entry);
}

XPLMDataRef XPLMRegisterDataAccessor(const char* dataName, XPLMDataTypeID dataType, int isWritable,
                                     XPLMGetDatai_f readInt, XPLMSetDatai_f writeInt, XPLMGetDataf_f readFloat,
                                     XPLMSetDataf_f writeFloat, XPLMGetDatad_f readDouble,
                                     XPLMSetDatad_f writeDouble, XPLMGetDatavi_f readIntArray,
                                     XPLMSetDatavi_f writeIntArray, XPLMGetDatavf_f readFloatArray,
                                     XPLMSetDatavf_f writeFloatArray, XPLMGetDatab_f readData,
                                     XPLMSetDatab_f writeData, void* readRefcon, void* writeRefcon) {
    if (!dataName || !*dataName) return nullptr;
    if (sim::dataRefExists(dataName))
        fprintf(stderr, "simhost: dataref %s registered twice; the newer accessor wins\n", dataName);
    DataRef* entry = sim::create(dataName, dataType);
    entry->accessor = true;
    entry->writable = isWritable != 0;
    entry->getInt = readInt;
    entry->setInt = writeInt;
    entry->getFloat = readFloat;
    entry->setFloat = writeFloat;
    entry->getDouble = readDouble;
    entry->setDouble = writeDouble;
    entry->getInts = readIntArray;
    entry->setInts = writeIntArray;
    entry->getFloats = readFloatArray;
    entry->setFloats = writeFloatArray;
    entry->getBytes = readData;
    entry->setBytes = writeData;
    entry->readRefcon = readRefcon;
    entry->writeRefcon = writeRefcon;
    return entry;
}

void XPLMUnregisterDataAccessor(XPLMDataRef dataRef) {
    DataRef* entry = live(dataRef);
    if (!entry || !entry->accessor) return;
    entry->alive = false;
    auto it = sim::byName().find(entry->name);
    if (it != sim::byName().end() && it->second == entry) sim::byName().erase(it);
}

int XPLMShareData(const char* dataName, XPLMDataTypeID dataType, XPLMDataChanged_f notify, void* notifyRefcon) {
    if (!dataName || !*dataName) return 0;
    DataRef* entry = static_cast<DataRef*>(XPLMFindDataRef(dataName));
    if (entry && (entry->types != dataType || entry->accessor)) return 0;
    if (!entry) entry = sim::create(dataName, dataType);
    entry->listeners.emplace_back(notify, notifyRefcon);
    return 1;
}

int XPLMUnshareData(const char* dataName, XPLMDataTypeID dataType, XPLMDataChanged_f notify, void* notifyRefcon) {
    DataRef* entry = static_cast<DataRef*>(XPLMFindDataRef(dataName));
    if (!entry || entry->types != dataType) return 0;
    auto& listeners = entry->listeners;
    for (auto it = listeners.begin(); it != listeners.end(); ++it) {
        if (it->first == notify && it->second == notifyRefcon) {
            listeners.erase(it);
            return 1;
        }
    }
    return 0;
}

}  // extern "C"
