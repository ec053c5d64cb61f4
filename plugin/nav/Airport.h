// The airports of the scenery: one record per ident with its frequencies,
// runway ends and start locations, in one map for the whole plug-in. The map
// is filled once at start and only read afterwards, so pointers into it stay
// valid and any thread may read it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "nav/GeoPoint.h"

constexpr int MIN_ATC_FREQUENCY = 108000;
constexpr int MAX_ATC_FREQUENCY = 137999;
constexpr int DEFAULT_UNICOM_FREQUENCY = 122900;

// One ATC frequency: kHz (0 means none), position type and the scenery's name.
struct cFrequency {
    int freq = 0;
    std::string type;
    std::string name;

    cFrequency() = default;
    cFrequency(int frequency, std::string frequencyType, std::string frequencyName)
        : freq(frequency), type(std::move(frequencyType)), name(std::move(frequencyName)) {}
    void clear();
};

enum RunwayType { LAND = 0, WATER = 1, HELIPAD = 2 };

// One runway end; a runway is stored as its two ends, next to each other.
class cRunway {
public:
    std::string number;
    std::string oppositeNumber;
    double latitude = 0;
    double longitude = 0;
    float trueHeading = 360;  // towards the other end
    unsigned int lengthInFeet = 0;
    RunwayType type = LAND;

    float getMagneticHeading() const;
    double getDistance() const;  // NM to the aircraft
};

struct cStartLocation {
    std::string name;
    double latitude = 0;
    double longtitude = 0;
};

class cAirport {
public:
    std::string icaoCode;      // the scenery's ident, the key of the map
    std::string trueIcaoCode;  // the official code when the scenery gives one
    std::string name;
    std::string country;
    double latitude = 0;
    double longtitude = 0;
    int elevation = 0;  // feet
    int tpa = 0;        // traffic pattern altitude, feet; not kept in the cache
    bool hasRadarServices = false;
    std::vector<cFrequency> frequencies;
    std::vector<cRunway> runways;
    std::vector<cStartLocation> startLocations;
    bool lat_lon_found = false;

    // Zuruvo ZEV options for this airport.
    bool rightPattern = false;
    bool overfly = false;
    bool straightInOutArrivalDeparture = false;
    bool crossWind45Departure = false;
    bool useStandardOverheadJoin = false;
    bool requestVectors = false;
    std::string m_SelectedRunway;

    // Pattern-test state.
    double lastOverheadDistance = 0;  // NM
    double overheadElevation = 0;     // feet

    void clear();

    static std::map<std::string, cAirport> airports;
    static std::map<std::string, cAirport>& getAirports() { return airports; }
    static cAirport* getAirport(const std::string& ident);
    static void removeAllAirports();
    // Finishes the record (radar services, overhead join) and inserts it
    // unless the ident is empty or already present: the first record wins.
    static void addAirport(cAirport airport, bool checkForDup);
    // The same into another map; the record in it, or null when it was not inserted.
    static cAirport* addAirport(std::map<std::string, cAirport>& into, cAirport airport);

    // Frequencies by position, with their fall-backs; "none" has freq 0.
    cFrequency getTowerFrequency() const;
    cFrequency getGroundFrequency() const;
    cFrequency getClearanceFrequency() const;
    cFrequency getApproachFrequency() const;
    cFrequency getDepartureFrequency() const;
    int getAtisFrequency() const;
    cFrequency getCtafFrequency() const;
    cFrequency getApproachOrDeparture() const;
    cFrequency getDepartureOrApproach() const;
    cFrequency getBestClearanceFrequency() const;
    cFrequency getBestGroundFrequency() const;
    cFrequency getBestTowerFrequency(std::string& type) const;

    bool isTowered() const;
    bool hasAtis() const;
    bool allowRadarServices() const;

    double getDistance() const;        // NM from the reference position to the aircraft
    double getRunwayDistance() const;  // NM from the selected runway end to the aircraft
    cRunway* findRunway(const std::string& runwayName);
    const cRunway* findRunway(const std::string& runwayName) const;
    std::vector<GeoPoint> getRunwayEndPoints(const std::string& runwayName) const;
    float getRunwayMagneticHeading(const std::string& runwayName) const;
    std::string getRecommendedRunway() const;
    std::string getGateString() const;
    static cAirport* getClosestAirport(bool trueIcaoOnly, bool approximateDistance);

    // Where the aircraft is in the traffic pattern of the selected runway.
    bool isOnHeading(double heading, int tolerance) const;
    bool isLinedUp() const;
    bool isOnFinal() const;
    bool isOnDownWind() const;
    bool isOnBase() const;
    bool isOn45() const;
    bool isOverhead();  // updates lastOverheadDistance and overheadElevation
    bool isDecendingDeadSide() const;

private:
    const cFrequency* findInBand(const char* type) const;  // first of the type inside the ATC band
    cFrequency firstInBand(const char* type) const;
    double selectedRunwayHeading() const;  // the selected runway's number times 10
};
