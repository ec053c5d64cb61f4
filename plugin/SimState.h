// What the plug-in knows of the aircraft and the simulator. Datarefs are read
// only on the simulator thread; the flight loop samples what other threads
// need once per frame, and those read the samples.
#pragma once

struct Radios {
    int com1Freq = 0;  // kHz
    int com2Freq = 0;  // kHz
    bool power = false;
};

struct Wind {
    float speedKnots = 0;
    float windSheer = 0;  // knots; the gust speed when taken at the aircraft
    float directionMagnetic = 0;
};

// Looks up the datarefs and decides once whether the new weather exists.
void initSimState();
bool hasNewWeather();
bool hasXPlaneATCDataRefs();

// ---- per-frame sampling (flight loop) ----------------------------------------
void updateRadioPower();
void sampleAircraftPosition();
void sampleSimulatorFlags();
// Makes the current position the origin of the flight (aircraft or airport loaded).
void recordOrigin();

// ---- position and motion ----------------------------------------------------
void getLocation(double& latitude, double& longitude, double* elevationFeet = nullptr);
void getOrigin(double& latitude, double& longitude);
double getTrueAltitude();
double getAGL();
bool isOnGround();
float getPilotAltimeter();
float getMagneticHeading();
int getIAS();
float getGroundSpeed();
float getAircraftMaxWeight();
float getVerticalSpeed();
float getFlapRatio();
float trueToMagnetic(float bearing);
bool isSimPaused();
bool isExternalView();

// ---- weather ---------------------------------------------------------------
float getBarometricPressure();  // inches of mercury
bool useHpa();
Wind getWind(float altitudeFeet, bool atAircraft);

// ---- time ------------------------------------------------------------------
void getZuluTime(int& hour, int& minute);
int getLocalHourOfDay();
int getLocalMinuteOfDay();
void getLocalTime(int& hour, int& minute);

// ---- radios ----------------------------------------------------------------
void updateComs();
Radios getRadios();
int getCurrentFrequency();  // the chatter radio's frequency, kHz
int getCom2Frequency();
int getCom1Selector();
int getCom2Selector();
void setCom(int frequencyKHz);
bool isRadioOn();
bool isRadioReady();
bool isRadioMonitored();
int getNav1Freq();
void setNav1Freq(int frequency);

// ---- transponder -----------------------------------------------------------
int getXPDRCode();
void setXPDRCode(int code);
bool isTransponderOn();
void turnOnTransponder();
int getTransponderIdent();

// ---- switches, autopilot, sound, position override ---------------------------
bool isTaxiLightOn();
bool isBeaconLightOn();
bool isLandingLightOn();
bool isParkingBrakeOn();
float getAutoPilotAltitude();
// A Zuruvo ZEV altitude change requested through the published datarefs.
void setAltitudeChangeRequest(bool requested, int altitudeFeet);
bool isAltitudeChangeRequested();
int getAltitudeChangeRequest();
float getEngineVolume();
void setEngineVolume(float ratio);
void setPosition(double x, double y, double z);
