#include "SimState.h"

#include <cmath>
#include <mutex>

#include "Settings.h"
#include "common/AtomicValue.h"
#include "common/CLocale.h"
#include "common/Common.h"
#include "host/XplmData.h"

namespace {

// ---- datarefs ----------------------------------------------------------------
XPLMDataRef gCom1Power, gCom2Power, gAvionicsPower, gBusVolts, gParkBrake;
XPLMDataRef gLatitude, gLongitude, gElevation, gAGL, gOnGround, gPilotAltimeter;
XPLMDataRef gIAS, gMagPsi, gFlapRatio, gVerticalSpeed, gGroundSpeed;
XPLMDataRef gCom1Freq, gCom2Freq, gCom1Selector, gCom2Selector, gNav1Freq;
XPLMDataRef gXPDRCode, gXPDRMode, gXPDRIdent, gMetricPress;
XPLMDataRef gZuluHours, gZuluMinutes, gLocalHours, gLocalMinutes, gEngineVolume, gPaused, gExternalView;
XPLMDataRef gXPATCCom1Active, gXPATCCom1Facility, gXPATCCom2Active, gXPATCCom2Facility;
XPLMDataRef gWindDirection, gWindSpeed, gShearSpeed, gWindAltitude;
XPLMDataRef gWindRelativeHeading, gWindBaseSpeed, gWindGust;
XPLMDataRef gOldWindDirection[3], gOldWindSpeed[3], gOldShearSpeed[3], gOldWindAltitude[3];
XPLMDataRef gPressure, gMagneticVariation, gMaxWeight, gTaxiLight, gBeaconLight, gLandingLight, gAPAltitude;
XPLMDataRef gLocalX, gLocalY, gLocalZ;
bool gNewWeather = false;

// ---- samples read by other threads ------------------------------------------
struct Samples {
    double latitude = 0, longitude = 0, elevationFeet = 0, aglFeet = 0;
    double originLatitude = 0, originLongitude = 0;
    int onGround = 0;
    float pilotAltimeter = 0;
    Radios radios;
    int chatterFrequency = 0;
    int com1Selector = 0, com2Selector = 0;
    int paused = 0, externalView = 0;
};
std::mutex gSamplesMutex;
Samples gSamples;

AtomicValue<bool> gAltitudeChangeRequested{false};
AtomicValue<int> gAltitudeChangeRequest{0};

XPLMDataRef find(const char* name) { return XPLMFindDataRef(name); }

int readInt(XPLMDataRef ref) { return ref ? XPLMGetDatai(ref) : 0; }
float readFloat(XPLMDataRef ref) { return ref ? XPLMGetDataf(ref) : 0.0f; }

// Into (0, 360]: a wind from the north is 360, never 0.
float windDirection(float direction) {
    if (direction > 360) direction -= 360;
    if (direction < 0) direction += 360;
    if (direction == 0) direction = 360;
    return direction;
}

Wind windAtAircraft() {
    Wind wind;
    wind.speedKnots = readFloat(gWindBaseSpeed);
    wind.windSheer = readFloat(gWindGust);
    wind.directionMagnetic = static_cast<float>(fixAngle(getMagneticHeading() + readFloat(gWindRelativeHeading) - 180));
    return wind;
}

}  // namespace

void initSimState() {
    gCom1Power = find("sim/cockpit2/radios/actuators/com1_power");
    gCom2Power = find("sim/cockpit2/radios/actuators/com2_power");
    gAvionicsPower = find("sim/cockpit2/switches/avionics_power_on");
    gBusVolts = find("sim/cockpit2/electrical/bus_volts");
    gParkBrake = find("sim/flightmodel/controls/parkbrake");
    gLatitude = find("sim/flightmodel/position/latitude");
    gLongitude = find("sim/flightmodel/position/longitude");
    gElevation = find("sim/flightmodel/position/elevation");
    gAGL = find("sim/flightmodel/position/y_agl");
    gOnGround = find("sim/flightmodel/failures/onground_any");
    gPilotAltimeter = find("sim/cockpit2/gauges/indicators/altitude_ft_pilot");
    gIAS = find("sim/flightmodel/position/indicated_airspeed");
    gMagPsi = find("sim/flightmodel/position/mag_psi");
    gFlapRatio = find("sim/flightmodel/controls/flaprat");
    gVerticalSpeed = find("sim/flightmodel/position/vh_ind_fpm");
    gGroundSpeed = find("sim/flightmodel/position/groundspeed");
    gCom1Freq = find("sim/cockpit2/radios/actuators/com1_frequency_hz_833");
    gCom2Freq = find("sim/cockpit2/radios/actuators/com2_frequency_hz_833");
    gCom1Selector = find("sim/cockpit2/radios/actuators/audio_selection_com1");
    gCom2Selector = find("sim/cockpit2/radios/actuators/audio_selection_com2");
    gNav1Freq = find("sim/cockpit/radios/nav1_freq_hz");
    gXPDRCode = find("sim/cockpit2/radios/actuators/transponder_code");
    gXPDRMode = find("sim/cockpit2/radios/actuators/transponder_mode");
    gXPDRIdent = find("sim/cockpit/radios/transponder_id");
    gMetricPress = find("sim/physics/metric_press");
    gZuluHours = find("sim/cockpit2/clock_timer/zulu_time_hours");
    gZuluMinutes = find("sim/cockpit2/clock_timer/zulu_time_minutes");
    gLocalHours = find("sim/cockpit2/clock_timer/local_time_hours");
    gLocalMinutes = find("sim/cockpit2/clock_timer/local_time_minutes");
    gEngineVolume = find("sim/operation/sound/engine_volume_ratio");
    gPaused = find("sim/time/paused");
    gExternalView = find("sim/graphics/view/view_is_external");
    gXPATCCom1Active = find("sim/atc/com1_active");
    gXPATCCom1Facility = find("sim/atc/com1_tuned_facility");
    gXPATCCom2Active = find("sim/atc/com2_active");
    gXPATCCom2Facility = find("sim/atc/com2_tuned_facility");

    gWindDirection = find("sim/weather/region/wind_direction_degt");
    gNewWeather = gWindDirection != nullptr;
    if (gNewWeather) {
        gWindSpeed = find("sim/weather/region/wind_speed_msc");
        gShearSpeed = find("sim/weather/region/shear_speed_msc");
        gWindAltitude = find("sim/weather/region/wind_altitude_msl_m");
        gWindRelativeHeading = find("sim/weather/view/wind_relative_heading_deg");
        gWindBaseSpeed = find("sim/weather/view/wind_base_speed_kts");
        gWindGust = find("sim/weather/view/wind_gust_kts");
        gPressure = find("sim/weather/region/sealevel_pressure_pas");
    } else {
        for (int i = 0; i < 3; ++i) {
            gOldWindDirection[i] = find(formatC("sim/weather/wind_direction_degt[%d]", i).c_str());
            gOldWindSpeed[i] = find(formatC("sim/weather/wind_speed_kt[%d]", i).c_str());
            gOldShearSpeed[i] = find(formatC("sim/weather/shear_speed_kt[%d]", i).c_str());
            gOldWindAltitude[i] = find(formatC("sim/weather/wind_altitude_msl_m[%d]", i).c_str());
        }
        gPressure = find("sim/weather/barometer_sealevel_inhg");
    }

    gMagneticVariation = find("sim/flightmodel/position/magnetic_variation");
    gMaxWeight = find("sim/aircraft/weight/acf_m_max");
    gTaxiLight = find("sim/cockpit/electrical/taxi_light_on");
    gBeaconLight = find("sim/cockpit/electrical/beacon_lights_on");
    gLandingLight = find("sim/cockpit/electrical/landing_lights_on");
    gAPAltitude = find("sim/cockpit/autopilot/altitude");
    gLocalX = gLocalY = gLocalZ = nullptr;
}

bool hasNewWeather() { return gNewWeather; }
bool hasXPlaneATCDataRefs() { return gXPATCCom1Active != nullptr; }

// ---- per-frame sampling ------------------------------------------------------

void updateRadioPower() {
    float volts = 0;
    if (gBusVolts) XPLMGetDatavf(gBusVolts, &volts, 0, 1);
    const bool power = volts > 1.0f && readInt(gAvionicsPower) != 0 && (readInt(gCom1Power) != 0 || readInt(gCom2Power) != 0);
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    gSamples.radios.power = power;
}

void sampleAircraftPosition() {
    const double latitude = gLatitude ? XPLMGetDatad(gLatitude) : 0;
    const double longitude = gLongitude ? XPLMGetDatad(gLongitude) : 0;
    const double elevation = (gElevation ? XPLMGetDatad(gElevation) : 0) * 3.28083992;
    const double agl = readFloat(gAGL) * 3.28084;
    const int onGround = readInt(gOnGround);
    const float altimeter = readFloat(gPilotAltimeter);
    {
        std::lock_guard<std::mutex> lock(gSamplesMutex);
        gSamples.latitude = latitude;
        gSamples.longitude = longitude;
        gSamples.elevationFeet = elevation;
        gSamples.aglFeet = agl;
        gSamples.onGround = onGround;
        gSamples.pilotAltimeter = altimeter;
    }
    updateComs();
}

void sampleSimulatorFlags() {
    const int paused = readInt(gPaused);
    const int external = readInt(gExternalView);
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    gSamples.paused = paused;
    gSamples.externalView = external;
}

void recordOrigin() {
    const double latitude = gLatitude ? XPLMGetDatad(gLatitude) : 0;
    const double longitude = gLongitude ? XPLMGetDatad(gLongitude) : 0;
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    gSamples.originLatitude = gSamples.latitude = latitude;
    gSamples.originLongitude = gSamples.longitude = longitude;
}

// ---- position and motion -----------------------------------------------------

void getLocation(double& latitude, double& longitude, double* elevationFeet) {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    latitude = gSamples.latitude;
    longitude = gSamples.longitude;
    if (elevationFeet) *elevationFeet = gSamples.elevationFeet;
}

void getOrigin(double& latitude, double& longitude) {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    latitude = gSamples.originLatitude;
    longitude = gSamples.originLongitude;
}

double getTrueAltitude() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.elevationFeet;
}

double getAGL() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.aglFeet;
}

bool isOnGround() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.onGround == 1;
}

float getPilotAltimeter() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.pilotAltimeter;
}

bool isSimPaused() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.paused != 0;
}

bool isExternalView() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.externalView != 0;
}

float getMagneticHeading() { return static_cast<float>(fixAngle(readFloat(gMagPsi))); }
int getIAS() { return static_cast<int>(readFloat(gIAS)); }
float getGroundSpeed() { return static_cast<float>(readFloat(gGroundSpeed) * 1.94384); }
float getAircraftMaxWeight() { return readFloat(gMaxWeight) * 2.205f; }
float getVerticalSpeed() { return readFloat(gVerticalSpeed); }
float getFlapRatio() { return readFloat(gFlapRatio); }
float trueToMagnetic(float bearing) { return static_cast<float>(fixAngle(bearing + readFloat(gMagneticVariation))); }

// ---- weather -----------------------------------------------------------------

float getBarometricPressure() {
    const float value = readFloat(gPressure);
    return gNewWeather ? static_cast<float>(value * 0.00029528744215439375) : value;
}

bool useHpa() { return readInt(gMetricPress) > 0; }

Wind getWind(float altitudeFeet, bool atAircraft) {
    const float variation = readFloat(gMagneticVariation);
    Wind wind;
    if (gNewWeather) {
        if (atAircraft) return windAtAircraft();
        constexpr int kSlots = 10;
        float directions[kSlots] = {}, speeds[kSlots] = {}, shears[kSlots] = {}, altitudes[kSlots] = {};
        XPLMGetDatavf(gWindDirection, directions, 0, kSlots);
        if (gWindSpeed) XPLMGetDatavf(gWindSpeed, speeds, 0, kSlots);
        if (gShearSpeed) XPLMGetDatavf(gShearSpeed, shears, 0, kSlots);
        if (gWindAltitude) XPLMGetDatavf(gWindAltitude, altitudes, 0, kSlots);
        int best = -1;
        long bestDifference = 0;
        for (int slot = 0; slot < kSlots; ++slot) {
            // Whole feet, so that a layer stored in metres at the asked altitude still counts as at it.
            const long layerFeet = lround(altitudes[slot] * 3.28084);
            if (speeds[slot] < 0 || layerFeet < lround(altitudeFeet)) continue;
            const long difference = layerFeet - lround(altitudeFeet);
            if (best < 0 || difference < bestDifference) {
                best = slot;
                bestDifference = difference;
            }
        }
        if (best < 0) return windAtAircraft();  // above every layer
        wind.directionMagnetic = windDirection(directions[best] + variation);
        wind.speedKnots = static_cast<float>(lround(speeds[best] * 1.94384));
        wind.windSheer = static_cast<float>(lround(shears[best] * 1.94384));
        return wind;
    }
    int slot = 2;
    for (int i = 0; i < 2; ++i) {
        if (lround(readFloat(gOldWindAltitude[i]) * 3.28084) >= altitudeFeet) {
            slot = i;
            break;
        }
    }
    wind.directionMagnetic = windDirection(readFloat(gOldWindDirection[slot]) + variation);
    wind.speedKnots = readFloat(gOldWindSpeed[slot]);
    wind.windSheer = readFloat(gOldShearSpeed[slot]);
    return wind;
}

// ---- time --------------------------------------------------------------------

void getZuluTime(int& hour, int& minute) {
    hour = readInt(gZuluHours);
    minute = readInt(gZuluMinutes);
}

int getLocalHourOfDay() { return readInt(gLocalHours); }
int getLocalMinuteOfDay() { return readInt(gLocalMinutes); }

void getLocalTime(int& hour, int& minute) {
    hour = getLocalHourOfDay();
    minute = getLocalMinuteOfDay();
}

// ---- radios ------------------------------------------------------------------

void updateComs() {
    const int com1 = readInt(gCom1Freq);
    const int com2 = readInt(gCom2Freq);
    const int selector1 = readInt(gCom1Selector);
    const int selector2 = readInt(gCom2Selector);
    const bool useCOM1 = gSettings.useCOM1;
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    gSamples.radios.com1Freq = com1;
    gSamples.radios.com2Freq = com2;
    gSamples.chatterFrequency = useCOM1 ? com1 : com2;
    gSamples.com1Selector = selector1;
    gSamples.com2Selector = selector2;
}

Radios getRadios() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.radios;
}

int getCurrentFrequency() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.chatterFrequency;
}

int getCom2Frequency() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.radios.com2Freq;
}

int getCom1Selector() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.com1Selector;
}

int getCom2Selector() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.com2Selector;
}

void setCom(int frequencyKHz) {
    XPLMDataRef radio = gSettings.useCOM1 ? gCom1Freq : gCom2Freq;
    if (radio) XPLMSetDatai(radio, frequencyKHz);
    updateComs();
}

bool isRadioOn() {
    std::lock_guard<std::mutex> lock(gSamplesMutex);
    return gSamples.radios.power;
}

bool isRadioReady() { return gSettings.radioPower ? isRadioOn() : true; }

bool isRadioMonitored() { return (gSettings.useCOM1 ? getCom1Selector() : getCom2Selector()) != 0; }

int getNav1Freq() { return readInt(gNav1Freq); }

void setNav1Freq(int frequency) {
    if (gNav1Freq) XPLMSetDatai(gNav1Freq, frequency);
}

// ---- transponder -------------------------------------------------------------

int getXPDRCode() { return readInt(gXPDRCode); }

void setXPDRCode(int code) {
    if (gXPDRCode) XPLMSetDatai(gXPDRCode, code);
}

bool isTransponderOn() { return readInt(gXPDRMode) > 1; }

void turnOnTransponder() {
    if (gXPDRMode) XPLMSetDatai(gXPDRMode, 2);
}

int getTransponderIdent() { return readInt(gXPDRIdent); }

// ---- switches, autopilot, sound, position ------------------------------------

bool isTaxiLightOn() { return readInt(gTaxiLight) != 0; }
bool isBeaconLightOn() { return readInt(gBeaconLight) != 0; }
bool isLandingLightOn() { return readInt(gLandingLight) != 0; }
bool isParkingBrakeOn() { return readFloat(gParkBrake) >= 0.9f; }

float getAutoPilotAltitude() {
    if (gAltitudeChangeRequested) return static_cast<float>(gAltitudeChangeRequest.load());
    return readFloat(gAPAltitude);
}

void setAltitudeChangeRequest(bool requested, int altitudeFeet) {
    gAltitudeChangeRequested = requested;
    gAltitudeChangeRequest = altitudeFeet < 0 ? 0 : altitudeFeet;
}

bool isAltitudeChangeRequested() { return gAltitudeChangeRequested; }
int getAltitudeChangeRequest() { return gAltitudeChangeRequest; }

float getEngineVolume() { return readFloat(gEngineVolume); }

void setEngineVolume(float ratio) {
    if (gEngineVolume) XPLMSetDataf(gEngineVolume, ratio);
}

void setPosition(double x, double y, double z) {
    if (!gLocalX) {
        gLocalX = find("sim/flightmodel/position/local_x");
        gLocalY = find("sim/flightmodel/position/local_y");
        gLocalZ = find("sim/flightmodel/position/local_z");
    }
    if (gLocalX) XPLMSetDatad(gLocalX, x);
    if (gLocalY) XPLMSetDatad(gLocalY, y);
    if (gLocalZ) XPLMSetDatad(gLocalZ, z);
}
