// The simulator's own datarefs, with the values of a light aircraft parked at
// Boston Logan, engine off, avionics on and COM1 monitored on ground.
#include "DataRefs.h"
#include "Sim.h"

namespace sim {
namespace {

constexpr int I = xplmType_Int;
constexpr int F = xplmType_Float;
constexpr int D = xplmType_Double;
constexpr int FA = xplmType_FloatArray;
constexpr bool RO = false;  // read-only for plug-ins

Registrar registrar([] {
    addDataRefPresets({
        // radios and electrics
        {"sim/cockpit2/radios/actuators/com1_power", I, 1},
        {"sim/cockpit2/radios/actuators/com2_power", I, 1},
        {"sim/cockpit2/switches/avionics_power_on", I, 1},
        {"sim/cockpit2/electrical/bus_volts", FA, 28, 6, RO},
        {"sim/cockpit2/radios/actuators/com1_frequency_hz_833", I, 121900},
        {"sim/cockpit2/radios/actuators/com2_frequency_hz_833", I, 135000},
        {"sim/cockpit2/radios/actuators/audio_selection_com1", I, 1},
        {"sim/cockpit2/radios/actuators/audio_selection_com2", I, 0},
        {"sim/cockpit/radios/nav1_freq_hz", I, 11070},
        {"sim/cockpit2/radios/actuators/transponder_code", I, 1200},
        {"sim/cockpit2/radios/actuators/transponder_mode", I, 1},
        {"sim/cockpit/radios/transponder_id", I, 0, 0, RO},
        // position and motion
        {"sim/flightmodel/controls/parkbrake", F, 1},
        {"sim/flightmodel/position/latitude", D, 42.3656, 0, RO},
        {"sim/flightmodel/position/longitude", D, -71.0096, 0, RO},
        {"sim/flightmodel/position/elevation", D, 6.1, 0, RO},
        {"sim/flightmodel/position/y_agl", F, 1.2, 0, RO},
        {"sim/flightmodel/failures/onground_any", I, 1, 0, RO},
        {"sim/cockpit2/gauges/indicators/altitude_ft_pilot", F, 20, 0, RO},
        {"sim/flightmodel/position/indicated_airspeed", F, 0, 0, RO},
        {"sim/flightmodel/position/mag_psi", F, 45, 0, RO},
        {"sim/flightmodel/controls/flaprat", F, 0},
        {"sim/flightmodel/position/vh_ind_fpm", F, 0, 0, RO},
        {"sim/flightmodel/position/groundspeed", F, 0, 0, RO},
        {"sim/flightmodel/position/local_x", D, 0},
        {"sim/flightmodel/position/local_y", D, 0},
        {"sim/flightmodel/position/local_z", D, 0},
        // Added to a true heading it gives the magnetic one: 14.5 degrees west.
        {"sim/flightmodel/position/magnetic_variation", F, 14.5, 0, RO},
        // cockpit and aircraft
        {"sim/physics/metric_press", I, 0},
        {"sim/aircraft/weight/acf_m_max", F, 1157, 0, RO},
        {"sim/cockpit/electrical/taxi_light_on", I, 0},
        {"sim/cockpit/electrical/beacon_lights_on", I, 0},
        {"sim/cockpit/electrical/landing_lights_on", I, 0},
        {"sim/cockpit/autopilot/altitude", F, 3000},
        {"sim/operation/sound/engine_volume_ratio", F, 1},
        // time and simulator state
        {"sim/cockpit2/clock_timer/zulu_time_hours", I, 15, 0, RO},
        {"sim/cockpit2/clock_timer/zulu_time_minutes", I, 30, 0, RO},
        {"sim/cockpit2/clock_timer/local_time_hours", I, 10, 0, RO},
        {"sim/cockpit2/clock_timer/local_time_minutes", I, 30, 0, RO},
        {"sim/time/paused", I, 0, 0, RO},
        {"sim/graphics/view/view_is_external", I, 0, 0, RO},
        {"sim/graphics/VR/enabled", I, 0, 0, RO},
    });
});

}  // namespace
}  // namespace sim
