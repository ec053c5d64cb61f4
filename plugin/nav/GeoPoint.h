// A position on the earth in degrees.
#pragma once

struct GeoPoint {
    double latitude = 0;
    double longitude = 0;
};
