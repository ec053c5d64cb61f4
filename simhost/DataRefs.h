// The dataref table: simulator datarefs preset by the host, accessors that
// plug-ins register, and shared data.
#pragma once

#include <string>
#include <vector>

#include "host/XplmData.h"

namespace sim {

// A simulator dataref the host offers from the start. `size` is the element
// count of arrays and byte data. `onlyIn` 11 or 12 makes it exist only when the
// host plays that simulator version.
struct DataRefPreset {
    const char* name;
    int type;
    double value;
    int size = 0;
    bool writable = true;
    int onlyIn = 0;
};
// Called at static-initialisation time by the files that list presets.
void addDataRefPresets(const std::vector<DataRefPreset>& presets);
// Creates every preset dataref (done before the plug-in starts).
void createPresetDataRefs();
void clearDataRefs();

// Scenario and test access, through the accessors like another plug-in would.
// `index` < 0 means the whole value (arrays: the values from element 0 on).
void setDataRef(const std::string& name, int index, const std::vector<std::string>& values);
std::string getDataRefText(const std::string& name, int index);
bool dataRefExists(const std::string& name);
// A dataref another plug-in publishes (type "int", "float", "double", "floats",
// "ints" or "bytes"; `size` for the last three), holding `value`.
void defineDataRef(const std::string& name, const std::string& type, int size, double value);
// Splits "name[3]" into name and index (-1 without brackets).
void parseDataRefName(const std::string& text, std::string& name, int& index);

}  // namespace sim
