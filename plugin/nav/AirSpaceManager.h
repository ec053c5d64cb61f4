// The center airspaces of the simulator's ATC data (atc.dat): loaded once at
// start, indexed by latitude band, asked which airspace and which center site
// serve the aircraft.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AirSpace.h"
#include "nav/Airport.h"

class AirSpaceManager {
public:
    // Load order; the manager owns them until clear().
    static std::vector<std::unique_ptr<AirSpace>> airSpaces;
    // Latitude band (truncated latitude) -> the airspaces reaching into it, in load order.
    static std::map<int, std::vector<AirSpace*>> indexByLat;
    static AirSpace* pLastChecked;

    // Reads the Custom Data file, else the default one, when the setting allows.
    static void load();
    // Replaces the airspaces by those of one atc.dat file; false when it cannot be opened.
    static bool loadFile(const std::string& path);
    static void index();
    // The first airspace holding the position at max(elevation, 0) feet, or null.
    static AirSpace* getAirSpace(double lat, double lon, double elevation);
    // The airspace at the position when it differs from the one found last
    // time; null outside every airspace, on the first one found and when unchanged.
    static AirSpace* newAirSpace(double lat, double lon, double elevation);
    // The nearest site within maxDistance NM of the first airspace holding the
    // position that has one, with that airspace; null when there is none.
    static const Transmitter* findNearestTransmitter(double lat, double lon, double elevation, int maxDistance,
                                                     const AirSpace** airSpace = nullptr);
    // The same for the aircraft's sampled position, as a center frequency
    // named after its airspace; cleared when there is none.
    static cFrequency findNearestCenterTransmitter(int maxDistance);
    static void clear();

    // Paths of atc.dat below the simulator folder, in the order they are tried.
    static constexpr const char* CUSTOM_ATC_DAT = "Custom Data/1200 atc data/Earth nav data/atc.dat";
    static constexpr const char* DEFAULT_ATC_DAT = "Resources/default scenery/1200 atc data/Earth nav data/atc.dat";
};
