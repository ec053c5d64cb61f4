#include "nav/Regions.h"

const char* const regionNames[MAX_REGIONS] = {"Africa",  "Asia",          "Canada",        "Europe",
                                              "Oceania", "South America", "United States", "Custom"};
