// The world regions by which chatter clips are grouped; their names are also
// the names of the region clip folders and collections.
#pragma once

enum Regions {
    REGION_AF = 0,
    REGION_AS = 1,
    REGION_CA = 2,
    REGION_EU = 3,
    REGION_OC = 4,
    REGION_SA = 5,
    REGION_US = 6,
    REGION_CUSTOM = 7,
    MAX_REGIONS = 8
};

extern const char* const regionNames[MAX_REGIONS];
