// Radio sites of the center airspaces, and the index that keeps two sites on
// one frequency from being placed within earshot of each other.
#pragma once

#include <map>
#include <vector>

struct Transmitter {
    double lat = 0.0;
    double lon = 0.0;
    int frequency = 0;  // kHz
};

class TransmitterIndex {
public:
    // Latitude band (truncated latitude) -> frequency -> the sites placed there.
    static std::map<int, std::map<int, std::vector<Transmitter>>> latitudes;

    static void addTransmitter(Transmitter& transmitter);
    // True when a site on the same frequency lies closer than rangeNM (ellipsoid
    // distance); actualDistance receives the distance of that site.
    static bool isAnotherClose(Transmitter& transmitter, float rangeNM, double& actualDistance);
    static void clear();
};
