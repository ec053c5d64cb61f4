// Weather and the simulator's own ATC: X-Plane 12 has regional wind layers in
// metres per second and its ATC datarefs; X-Plane 11 has three wind layers,
// each value a dataref of its own, in knots. Light westerly winds over Boston.
#include "DataRefs.h"
#include "Sim.h"

namespace sim {
namespace {

constexpr int I = xplmType_Int;
constexpr int F = xplmType_Float;
constexpr int FA = xplmType_FloatArray;
constexpr bool RO = false;

Registrar registrar([] {
    addDataRefPresets({
        {"sim/weather/region/wind_direction_degt", FA, 270, 13, RO, 12},
        {"sim/weather/region/wind_speed_msc", FA, 5, 13, RO, 12},
        {"sim/weather/region/shear_speed_msc", FA, 0, 13, RO, 12},
        {"sim/weather/region/wind_altitude_msl_m", FA, 0, 13, RO, 12},
        {"sim/weather/view/wind_relative_heading_deg", F, 0, 0, RO, 12},
        {"sim/weather/view/wind_base_speed_kts", F, 10, 0, RO, 12},
        {"sim/weather/view/wind_gust_kts", F, 0, 0, RO, 12},
        {"sim/weather/region/sealevel_pressure_pas", F, 101325, 0, RO, 12},
        {"sim/atc/com1_active", I, 0, 0, RO, 12},
        {"sim/atc/com1_tuned_facility", I, 0, 0, RO, 12},
        {"sim/atc/com2_active", I, 0, 0, RO, 12},
        {"sim/atc/com2_tuned_facility", I, 0, 0, RO, 12},
        {"sim/weather/wind_direction_degt[0]", F, 270, 0, RO, 11},
        {"sim/weather/wind_direction_degt[1]", F, 280, 0, RO, 11},
        {"sim/weather/wind_direction_degt[2]", F, 290, 0, RO, 11},
        {"sim/weather/wind_speed_kt[0]", F, 10, 0, RO, 11},
        {"sim/weather/wind_speed_kt[1]", F, 20, 0, RO, 11},
        {"sim/weather/wind_speed_kt[2]", F, 40, 0, RO, 11},
        {"sim/weather/shear_speed_kt[0]", F, 0, 0, RO, 11},
        {"sim/weather/shear_speed_kt[1]", F, 0, 0, RO, 11},
        {"sim/weather/shear_speed_kt[2]", F, 0, 0, RO, 11},
        {"sim/weather/wind_altitude_msl_m[0]", F, 600, 0, RO, 11},
        {"sim/weather/wind_altitude_msl_m[1]", F, 3000, 0, RO, 11},
        {"sim/weather/wind_altitude_msl_m[2]", F, 9000, 0, RO, 11},
        {"sim/weather/barometer_sealevel_inhg", F, 29.92, 0, RO, 11},
    });
});

}  // namespace
}  // namespace sim
