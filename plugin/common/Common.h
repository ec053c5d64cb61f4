// Logging, folders, clock, random numbers, geodesy and small string helpers
// shared by every part of the plug-in.
#pragma once

#include <cstddef>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t PATH_BUFFER_SIZE = 2000;
constexpr size_t LOG_BUFFER_SIZE = 1000000;

// ---- logging ---------------------------------------------------------------
// Call once on the simulator thread; that thread is the one allowed to reach
// the simulator's log directly.
void initCommon(const char* prefix);
void sLogMsg(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logMsg(const char* text);
// The line written when a log or message text cannot get its buffer.
void logAllocationFailure(const char* where);
// Lines logged on other threads wait here until the simulator thread writes
// them; the flight loop calls this every frame and the stop sequence once more.
void writePendingLogLines();
bool isSimulatorThread();
bool isVREnabled();

// ---- folders ---------------------------------------------------------------
bool getPluginPath(char* buffer);  // buffer of PATH_BUFFER_SIZE
std::string getPluginPathString();
std::string makePluginFileName(const std::string& relative);
std::string getSystemPathString();
std::string getAircraftName();
std::string getAircraftPath();
size_t fixPath(char* destination, const char* source);
size_t fixFilePath(char* destination, const char* source);
size_t ConvertPath(char* destination, const char* source);
bool fileExists(const std::string& path);

// ---- time and randomness ---------------------------------------------------
int64_t getElapsedMilliSeconds();
// The plug-in's time can run faster than the wall clock so that tests need not
// wait minutes of pauses: elapsed times are multiplied and sleeps divided by
// the scale. Taken from QUILLON_TIME_SCALE by initCommon; 1 in the simulator.
void setTimeScale(double scale);
double getTimeScale();
// The wall-clock length of `milliseconds` of plug-in time.
std::chrono::microseconds scaledDuration(int64_t milliseconds);
int getUniformRandomNumber(int min, int max);

// ---- geometry ----------------------------------------------------------------
constexpr double haversine_mi = 3956.0;
double distanceLatLon(double lat1, double lon1, double lat2, double lon2, char unit);
// `bearing` receives the azimuth at the second point, `initialBearing` the one at the first.
double getDistanceVincenty(double lat1, double lon1, double lat2, double lon2, double* bearing = nullptr,
                           double* initialBearing = nullptr);
double getAbsDistanceVincenty(double lat1, double lon1, double lat2, double lon2, double* bearing = nullptr);
double fixAngle(double angle);
double diffAngles(double a, double b);
float radians(float degrees);
float toDegrees(float radiansValue);
double deg2rad(double degrees);
double rad2deg(double radiansValue);
double toRadians(double degrees);
double metersPerSecondToKnots(double metersPerSecond);

// ---- strings -----------------------------------------------------------------
std::string iToStr(int value);
std::string iToStr(unsigned long value);
std::string thousandSeparator(long long value);
std::string formatWithCommasManual(unsigned long long value);
bool iequals(const std::string& a, const std::string& b);
std::vector<std::string> splitOnWhitespace(const std::string& text);
char* strupr(char* text);
void replaceChar(char* text, char from, char to);
char* trimWhiteSpace(char* text);
bool is_whitespace(const char* text);
bool isWhiteSpaceChar(char c);
int countWords(const std::string& text);
const char* findLastWhiteSpace(const char* text, int n);
std::string getVersionString();
int getXPlaneVersion();

// Names the calling thread as debuggers and crash reports show it (15 characters at most).
void setThreadName(const char* name);
