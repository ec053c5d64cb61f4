// The simulator's navigation database as the SDK searches it: the airports of
// the scenery's apt.dat files (first pack wins, as in the simulator) and the
// nav aids of earth_nav.dat, read from the simulator folder on first use.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct NavEntry {
    int type = 0;  // an xplm_Nav_* value
    float latitude = 0;
    float longitude = 0;
    float height = 0;  // feet
    int frequency = 0;  // as in earth_nav.dat: NDBs in kHz, others in 10 kHz
    float heading = 0;  // true; localizers their course
    std::string id;
    std::string name;
};

// The database of the current simulator folder; reread when the folder changes.
const std::vector<NavEntry>& navDatabase();
// Forgets the database so that the next search reads the folder again.
void resetNavDatabase();

// The part of one nav.dat row the database keeps; false for rows it does not hold.
// `version` is the file's format: 810, or 1100 and later with region columns.
bool parseNavRow(const std::string& line, int version, NavEntry& out);

}  // namespace sim
