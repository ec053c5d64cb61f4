#include "AirSpace.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "common/Common.h"

namespace {

// Which frequency a site gets is a free choice; one generator seeded once is
// enough and far cheaper than seeding for every draw.
std::mt19937& frequencyDraw() {
    static std::mt19937 generator(std::random_device{}());
    return generator;
}

}  // namespace

void AirSpace::clear() {
    minAlt = 0;
    maxAlt = 60000;
    name.clear();
    id.clear();
    polygon.clear();
    frequencies.clear();
    antiMeridian = false;
}

void AirSpace::evaluate() {
    antiMeridian = false;
    if (!polygon.empty()) {
        auto [west, east] = std::minmax_element(polygon.begin(), polygon.end(),
                                                [](const GeoPoint& a, const GeoPoint& b) { return a.longitude < b.longitude; });
        if (east->longitude - west->longitude > 180.0) {
            antiMeridian = true;
            for (GeoPoint& vertex : polygon)
                if (vertex.longitude < 0) vertex.longitude += 360.0;
        }
    }
    m_MinLat = m_MinLon = 1e9;
    m_MaxLat = m_MaxLon = -1e9;
    for (const GeoPoint& vertex : polygon) {
        m_MinLat = std::min(m_MinLat, vertex.latitude);
        m_MaxLat = std::max(m_MaxLat, vertex.latitude);
        m_MinLon = std::min(m_MinLon, vertex.longitude);
        m_MaxLon = std::max(m_MaxLon, vertex.longitude);
    }
    placeTransmitters();
}

GeoPoint AirSpace::calcmidpoint(const std::vector<GeoPoint>& boundary) const {
    double twiceArea = 0, sumX = 0, sumY = 0;
    for (size_t i = 0; i < boundary.size(); ++i) {
        const GeoPoint& a = boundary[i];
        const GeoPoint& b = boundary[(i + 1) % boundary.size()];
        double t = a.longitude * b.latitude - b.longitude * a.latitude;
        twiceArea += t;
        sumX += (a.longitude + b.longitude) * t;
        sumY += (a.latitude + b.latitude) * t;
    }
    if (twiceArea == 0) return GeoPoint{NAN, NAN};
    GeoPoint centroid{sumY / (3 * twiceArea), sumX / (3 * twiceArea)};
    if (antiMeridian && centroid.longitude > 180) centroid.longitude -= 360;
    return centroid;
}

bool AirSpace::isPointInsidePolygon(const std::vector<GeoPoint>& boundary, const GeoPoint& point) const {
    const double lat = point.latitude;
    const double lon = polygonLongitude(point.longitude);
    bool inside = false;
    for (size_t i = 0, j = boundary.size() - 1; i < boundary.size(); j = i++) {
        const GeoPoint& a = boundary[i];
        const GeoPoint& b = boundary[j];
        if ((lat < a.latitude) != (lat < b.latitude) &&
            lon < (b.longitude - a.longitude) * (lat - a.latitude) / (b.latitude - a.latitude) + a.longitude)
            inside = !inside;
    }
    return inside;
}

bool AirSpace::withinBounds(double lat, double lon) const {
    const double polygonLon = polygonLongitude(lon);
    return lat >= m_MinLat && lat <= m_MaxLat && polygonLon >= m_MinLon && polygonLon <= m_MaxLon;
}

bool AirSpace::isInAirSpace(double lat, double lon) const {
    return withinBounds(lat, lon) && isPointInsidePolygon(polygon, GeoPoint{lat, lon});
}

AirSpace::UnitVector AirSpace::toUnitVector(double lat, double lon) {
    const double phi = deg2rad(lat), lambda = deg2rad(lon);
    return {cos(phi) * cos(lambda), cos(phi) * sin(lambda), sin(phi)};
}

const Transmitter* AirSpace::nearestTransmitter(double lat, double lon, double& distanceNM) const {
    // The largest cosine of the central angle is the shortest great circle.
    const UnitVector at = toUnitVector(lat, lon);
    const Transmitter* nearest = nullptr;
    double bestCosine = -2.0;
    for (size_t i = 0; i < m_SiteVectors.size() && i < transmitterLocations.size(); ++i) {
        const UnitVector& site = m_SiteVectors[i];
        const double cosine = at.x * site.x + at.y * site.y + at.z * site.z;
        if (cosine > bestCosine) {
            bestCosine = cosine;
            nearest = &transmitterLocations[i];
        }
    }
    if (nearest) distanceNM = distanceLatLon(lat, lon, nearest->lat, nearest->lon, 'N');
    return nearest;
}

double AirSpace::normalizeLongitude(double lon) { return std::remainder(lon, 360.0); }

GeoPoint AirSpace::projectPoint(const GeoPoint& from, double trueHeading, double distanceNM) {
    const double delta = distanceNM / RADIUS_OF_EARTH_NM;
    const double theta = deg2rad(trueHeading);
    const double phi1 = deg2rad(from.latitude);
    const double lambda1 = deg2rad(from.longitude);
    const double phi2 = asin(sin(phi1) * cos(delta) + cos(phi1) * sin(delta) * cos(theta));
    const double lambda2 = lambda1 + atan2(sin(theta) * sin(delta) * cos(phi1), cos(delta) - sin(phi1) * sin(phi2));
    return GeoPoint{rad2deg(phi2), normalizeLongitude(rad2deg(lambda2))};
}

bool AirSpace::addTransmitter(Transmitter& transmitter) {
    double distance = 0;
    bool placed = !TransmitterIndex::isAnotherClose(transmitter, SAME_FREQUENCY_SEPARATION_NM, distance);
    for (size_t i = 0; !placed && i < frequencies.size(); ++i) {
        if (frequencies[i] == transmitter.frequency) continue;  // already refused
        Transmitter candidate = transmitter;
        candidate.frequency = frequencies[i];
        if (!TransmitterIndex::isAnotherClose(candidate, SAME_FREQUENCY_SEPARATION_NM, distance)) {
            transmitter.frequency = frequencies[i];
            placed = true;
        }
    }
    if (!placed) return false;
    transmitterLocations.push_back(transmitter);
    m_SiteVectors.push_back(toUnitVector(transmitter.lat, transmitter.lon));
    TransmitterIndex::addTransmitter(transmitter);
    return true;
}

void AirSpace::offerSite(const GeoPoint& point) {
    std::uniform_int_distribution<size_t> draw(0, frequencies.size() - 1);
    Transmitter site{point.latitude, point.longitude, frequencies[draw(frequencyDraw())]};
    addTransmitter(site);
}

void AirSpace::testPoint(const GeoPoint& point) {
    if (isInAirSpace(point.latitude, point.longitude)) offerSite(point);
}

void AirSpace::placeTransmitters() {
    transmitterLocations.clear();
    m_SiteVectors.clear();
    if (frequencies.empty()) return;
    center = calcmidpoint(polygon);
    // A true centroid lies within the polygon's bounds; anything else comes
    // from a polygon without area, which has nothing to cover.
    if (!withinBounds(center.latitude, center.longitude)) return;

    double ring = RING_SPACING_NM;
    int pass = 1;
    int barrenPasses = 0;
    // Rings beyond MAX_RING_NM add nothing, so at most three passes follow them.
    while (barrenPasses < 3) {
        const size_t before = transmitterLocations.size();
        if (pass == 1) offerSite(center);
        if (ring < MAX_RING_NM)
            for (int k = 0; k < 4 * pass; ++k) testPoint(projectPoint(center, k * 90.0 / pass, ring));
        if (transmitterLocations.size() == before) ++barrenPasses;
        ++pass;
        ring += RING_SPACING_NM;
    }
}
