// One en-route (center) airspace: its boundary, altitude band, frequencies and
// the radio sites spread over it so that each frequency is heard somewhere.
#pragma once

#include <string>
#include <vector>

#include "GeoPoint.h"
#include "Transmitter.h"

class AirSpace {
public:
    static constexpr double RADIUS_OF_EARTH_NM = 3440.065;
    // Sites are offered on rings this far apart, up to the largest ring.
    static constexpr double RING_SPACING_NM = 50.0;
    static constexpr double MAX_RING_NM = 2000.0;
    // Two sites on one frequency are kept at least this far apart.
    static constexpr float SAME_FREQUENCY_SEPARATION_NM = 70.0f;

    int minAlt = 0;
    int maxAlt = 60000;
    std::string name;
    std::string id;
    bool antiMeridian = false;  // polygon longitudes are shifted into 0..360
    GeoPoint center;
    std::vector<GeoPoint> polygon;
    std::vector<Transmitter> transmitterLocations;
    std::vector<int> frequencies;  // kHz, in file order

    void clear();
    // Detects an anti-meridian crossing, then places the transmitters.
    void evaluate();
    void placeTransmitters();
    // Gives the site the first frequency (the one it carries, then the list in
    // order) without another site on it nearby; false when the site is dropped.
    bool addTransmitter(Transmitter& transmitter);
    // Offers a site at the point, on a randomly drawn frequency, when the point
    // lies inside the airspace.
    void testPoint(const GeoPoint& point);
    bool isInAirSpace(double lat, double lon) const;
    // The site nearest to the position (great circle), with its haversine
    // distance in NM; null when the airspace has none.
    const Transmitter* nearestTransmitter(double lat, double lon, double& distanceNM) const;
    bool containsAltitude(double feet) const { return feet >= minAlt && feet <= maxAlt; }
    bool isPointInsidePolygon(const std::vector<GeoPoint>& boundary, const GeoPoint& point) const;
    // Area-weighted centroid; NaN for a polygon without area.
    GeoPoint calcmidpoint(const std::vector<GeoPoint>& boundary) const;

    // Great-circle destination on the sphere of RADIUS_OF_EARTH_NM.
    static GeoPoint projectPoint(const GeoPoint& from, double trueHeading, double distanceNM);
    static double normalizeLongitude(double lon);

private:
    // Longitude as the polygon stores it.
    double polygonLongitude(double lon) const { return antiMeridian && lon < 0 ? lon + 360.0 : lon; }
    bool withinBounds(double lat, double lon) const;
    void offerSite(const GeoPoint& point);

    // Each site of transmitterLocations as a unit vector, so that the nearest
    // one is found by dot products alone.
    struct UnitVector {
        double x, y, z;
    };
    static UnitVector toUnitVector(double lat, double lon);
    std::vector<UnitVector> m_SiteVectors;

    // Bounding box of the polygon in its own longitudes, for quick rejection.
    double m_MinLat = 0, m_MaxLat = -1, m_MinLon = 0, m_MaxLon = -1;
};
