#include "Common.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <chrono>
#include <mutex>
#include <new>
#include <pthread.h>
#include <random>
#include <thread>

#include "CLocale.h"
#include "SafeQueue.h"
#include "host/Xplm.h"

namespace {

char gLogPrefix[PATH_BUFFER_SIZE] = "";
XPLMDataRef gVREnabled = nullptr;
std::thread::id gSimulatorThread;
SafeQueue<std::string> gOffThreadLines;

std::mutex gPluginPathMutex;
std::string gPluginPath;

// isspace() depends on the locale; the log and file helpers must not.
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

void emitLine(const char* line) {
    if (isSimulatorThread())
        XPLMDebugString(line);
    else
        gOffThreadLines.Produce(line);
}

}  // namespace

// ---- logging ---------------------------------------------------------------

void initCommon(const char* prefix) {
    snprintf(gLogPrefix, sizeof gLogPrefix, "%s", prefix ? prefix : "");
    gSimulatorThread = std::this_thread::get_id();
    gVREnabled = XPLMFindDataRef("sim/graphics/VR/enabled");
    const char* scale = getenv("QUILLON_TIME_SCALE");
    setTimeScale(scale ? parseDoubleC(scale) : 1.0);
    char buffer[PATH_BUFFER_SIZE];
    getPluginPath(buffer);
}

bool isSimulatorThread() { return std::this_thread::get_id() == gSimulatorThread; }

void sLogMsg(const char* format, ...) {
    char header[PATH_BUFFER_SIZE + 32];
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    size_t headerLength = strftime(header, sizeof header, "%R:%S", &local);
    headerLength += static_cast<size_t>(snprintf(header + headerLength, sizeof header - headerLength, " %s: ", gLogPrefix));

    // Most lines fit a small buffer; only long ones take the big one. A line
    // keeps its newline however it is cut.
    CLocaleScope cLocale;
    char small[4096];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int needed = vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string line(header, headerLength);
    if (needed >= 0 && static_cast<size_t>(needed) < sizeof small) {
        line.append(small, static_cast<size_t>(needed));
    } else if (needed > 0) {
        char* buffer = new (std::nothrow) char[LOG_BUFFER_SIZE];
        if (!buffer) {
            va_end(again);
            logAllocationFailure("sLogMsg");
            return;
        }
        vsnprintf(buffer, LOG_BUFFER_SIZE, format, again);
        line.append(buffer, std::min(static_cast<size_t>(needed), LOG_BUFFER_SIZE - 2 - headerLength));
        delete[] buffer;
    }
    va_end(again);
    line += '\n';
    emitLine(line.c_str());
}

void logMsg(const char* text) { sLogMsg("%s", text); }

void logAllocationFailure(const char* where) {
    std::string line = std::string(gLogPrefix) + " Error: unable to allocate memory in " + where + "\n";
    emitLine(line.c_str());
}

void writePendingLogLines() {
    if (!isSimulatorThread()) return;
    std::string line;
    while (gOffThreadLines.Consume(line)) XPLMDebugString(line.c_str());
}

bool isVREnabled() { return gVREnabled && XPLMGetDatai(gVREnabled) != 0; }

// ---- folders ---------------------------------------------------------------

bool getPluginPath(char* buffer) {
    buffer[0] = '\0';
    char path[PATH_BUFFER_SIZE] = "";
    XPLMGetPluginInfo(XPLMGetMyID(), nullptr, path, nullptr, nullptr);
    path[sizeof path - 1] = '\0';
    snprintf(buffer, PATH_BUFFER_SIZE, "%s", path);
    const char* plugins = strstr(buffer, "plugins/");
    const char* slash = plugins ? strchr(plugins + strlen("plugins/"), '/') : nullptr;
    if (!slash) {
        logMsg("Unable to determine the plugin directory");
        return false;
    }
    buffer[slash - buffer + 1] = '\0';
    std::lock_guard<std::mutex> lock(gPluginPathMutex);
    gPluginPath = buffer;
    return true;
}

std::string getPluginPathString() {
    {
        std::lock_guard<std::mutex> lock(gPluginPathMutex);
        if (!gPluginPath.empty() || !isSimulatorThread()) return gPluginPath;
    }
    char buffer[PATH_BUFFER_SIZE];
    return getPluginPath(buffer) ? std::string(buffer) : std::string();
}

std::string makePluginFileName(const std::string& relative) { return getPluginPathString() + relative; }

std::string getSystemPathString() {
    char path[PATH_BUFFER_SIZE] = "";
    XPLMGetSystemPath(path);
    path[sizeof path - 1] = '\0';
    return path;
}

std::string getAircraftName() {
    char fileName[512] = "";
    char path[PATH_BUFFER_SIZE] = "";
    XPLMGetNthAircraftModel(XPLM_USER_AIRCRAFT, fileName, path);
    fileName[sizeof fileName - 1] = '\0';
    std::string name = fileName;
    return name.substr(0, name.find('.'));
}

std::string getAircraftPath() {
    char fileName[512] = "";
    char path[PATH_BUFFER_SIZE] = "";
    XPLMGetNthAircraftModel(XPLM_USER_AIRCRAFT, fileName, path);
    path[sizeof path - 1] = '\0';
    std::string folder = path;
    size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
    return folder + "/";
}

// BSD strlcpy: copies at most size-1 characters, always terminates, returns the source length.
static size_t copyPath(char* destination, const char* source) {
    size_t length = strlen(source);
    size_t copied = std::min(length, PATH_BUFFER_SIZE - 1);
    memmove(destination, source, copied);
    destination[copied] = '\0';
    return length;
}

size_t fixPath(char* destination, const char* source) { return copyPath(destination, source); }
size_t fixFilePath(char* destination, const char* source) { return copyPath(destination, source); }
size_t ConvertPath(char* destination, const char* source) { return copyPath(destination, source); }

bool fileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// ---- time and randomness ---------------------------------------------------

namespace {
// Elapsed time keeps running on from where it was when the scale changes.
struct TimeBase {
    bool started = false;  // the first reading is time 0
    std::chrono::steady_clock::time_point wall;
    double elapsed = 0;
    double scale = 1.0;
};
std::mutex gTimeMutex;
TimeBase gTime;
std::atomic<double> gTimeScale{1.0};

double elapsedAt(TimeBase& base, std::chrono::steady_clock::time_point now) {
    if (!base.started) {
        base.started = true;
        base.wall = now;
    }
    return base.elapsed + std::chrono::duration<double, std::milli>(now - base.wall).count() * base.scale;
}
}  // namespace

int64_t getElapsedMilliSeconds() {
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(gTimeMutex);
    return static_cast<int64_t>(elapsedAt(gTime, now));
}

void setTimeScale(double scale) {
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(gTimeMutex);
    gTime.elapsed = elapsedAt(gTime, now);
    gTime.wall = now;
    gTime.scale = scale > 0 ? scale : 1.0;
    gTimeScale = gTime.scale;
}

double getTimeScale() { return gTimeScale; }

std::chrono::microseconds scaledDuration(int64_t milliseconds) {
    return std::chrono::microseconds(static_cast<int64_t>(static_cast<double>(milliseconds) * 1000.0 / gTimeScale.load()));
}

int getUniformRandomNumber(int min, int max) {
    std::random_device device;
    std::mt19937 generator(device());
    std::uniform_int_distribution<int> distribution(min, max);
    return distribution(generator);
}

// ---- geometry ----------------------------------------------------------------

double distanceLatLon(double lat1, double lon1, double lat2, double lon2, char unit) {
    const double toRad = 0.017453293005625408;
    double dLat = (lat2 - lat1) * toRad;
    double dLon = (lon2 - lon1) * toRad;
    double a = sin(dLat / 2) * sin(dLat / 2) + cos(lat1 * toRad) * cos(lat2 * toRad) * sin(dLon / 2) * sin(dLon / 2);
    double c = 2 * atan2(sqrt(a), sqrt(1 - a));
    double miles = haversine_mi * c;
    if (unit == 'K') return miles * 1.609344;
    if (unit == 'N') return miles * 0.868976;
    return miles;
}

double getDistanceVincenty(double lat1, double lon1, double lat2, double lon2, double* bearing,
                           double* initialBearing) {
    const double a = 6378137.0;
    const double b = 6356752.314245179;
    const double f = 0.0033528106647474805;
    const double L = deg2rad(lon2 - lon1);
    const double U1 = atan((1 - f) * tan(deg2rad(lat1)));
    const double U2 = atan((1 - f) * tan(deg2rad(lat2)));
    const double sinU1 = sin(U1), cosU1 = cos(U1), sinU2 = sin(U2), cosU2 = cos(U2);

    double lambda = L;
    double sinLambda = 0, cosLambda = 0, sinSigma = 0, cosSigma = 0, sigma = 0, cosSqAlpha = 0, cos2SigmaM = 0;
    int iterations = 100;
    double previous;
    do {
        sinLambda = sin(lambda);
        cosLambda = cos(lambda);
        sinSigma = sqrt((cosU2 * sinLambda) * (cosU2 * sinLambda) +
                        (cosU1 * sinU2 - sinU1 * cosU2 * cosLambda) * (cosU1 * sinU2 - sinU1 * cosU2 * cosLambda));
        if (sinSigma == 0) return 0;  // coincident points
        cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * cosLambda;
        sigma = atan2(sinSigma, cosSigma);
        double sinAlpha = cosU1 * cosU2 * sinLambda / sinSigma;
        cosSqAlpha = 1 - sinAlpha * sinAlpha;
        cos2SigmaM = cosSqAlpha != 0 ? cosSigma - 2 * sinU1 * sinU2 / cosSqAlpha : 0;  // equatorial line
        double C = f / 16 * cosSqAlpha * (4 + f * (4 - 3 * cosSqAlpha));
        previous = lambda;
        lambda = L + (1 - C) * f * sinAlpha *
                         (sigma + C * sinSigma * (cos2SigmaM + C * cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)));
    } while (fabs(lambda - previous) > 1e-12 && --iterations > 0);
    if (iterations == 0) return 0;

    double uSq = cosSqAlpha * (a * a - b * b) / (b * b);
    double A = 1 + uSq / 16384 * (4096 + uSq * (-768 + uSq * (320 - 175 * uSq)));
    double B = uSq / 1024 * (256 + uSq * (-128 + uSq * (74 - 47 * uSq)));
    double deltaSigma =
        B * sinSigma *
        (cos2SigmaM + B / 4 *
                          (cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM) -
                           B / 6 * cos2SigmaM * (-3 + 4 * sinSigma * sinSigma) * (-3 + 4 * cos2SigmaM * cos2SigmaM)));
    double distance = b * A * (sigma - deltaSigma);
    if (bearing) {
        double azimuth = atan2(cosU1 * sinLambda, -sinU1 * cosU2 + cosU1 * sinU2 * cosLambda);
        *bearing = fixAngle(rad2deg(azimuth));
    }
    if (initialBearing) {
        double azimuth = atan2(cosU2 * sinLambda, cosU1 * sinU2 - sinU1 * cosU2 * cosLambda);
        *initialBearing = fixAngle(rad2deg(azimuth));
    }
    return distance;
}

double getAbsDistanceVincenty(double lat1, double lon1, double lat2, double lon2, double* bearing) {
    return fabs(getDistanceVincenty(lat1, lon1, lat2, lon2, bearing));
}

double fixAngle(double angle) {
    if (angle < 0) angle += 360;
    else if (angle >= 360) angle -= 360;
    return angle;
}

double diffAngles(double a, double b) {
    double difference = fabs(fixAngle(a) - fixAngle(b));
    return difference > 180 ? 360 - difference : difference;
}

float radians(float degrees) { return degrees * 0.017453292f; }
float toDegrees(float radiansValue) { return radiansValue * 57.295776f; }
static const double kPi = 3.1415927410125732;
double deg2rad(double degrees) { return degrees * kPi / 180.0; }
double rad2deg(double radiansValue) { return radiansValue * 180.0 / kPi; }
double toRadians(double degrees) { return deg2rad(degrees); }
double metersPerSecondToKnots(double metersPerSecond) { return metersPerSecond * 1.94384; }

// ---- strings -----------------------------------------------------------------

std::string iToStr(int value) { return formatC("%d", value); }
std::string iToStr(unsigned long value) { return formatC("%lu", value); }

std::string formatWithCommasManual(unsigned long long value) {
    std::string digits = std::to_string(value);
    std::string result;
    int count = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (count > 0 && count % 3 == 0) result.insert(result.begin(), ',');
        result.insert(result.begin(), *it);
        ++count;
    }
    return result;
}

std::string thousandSeparator(long long value) {
    return formatWithCommasManual(static_cast<unsigned long long>(value < 0 ? 0 : value));
}

bool iequals(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

std::vector<std::string> splitOnWhitespace(const std::string& text) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSpace(text[i])) ++i;
        size_t start = i;
        while (i < text.size() && !isSpace(text[i])) ++i;
        if (i > start) tokens.push_back(text.substr(start, i - start));
    }
    return tokens;
}

char* strupr(char* text) {
    if (!text) return text;
    for (char* p = text; *p; ++p) *p = static_cast<char>(toupper(static_cast<unsigned char>(*p)));
    return text;
}

void replaceChar(char* text, char from, char to) {
    if (!text) return;
    for (char* p = text; *p; ++p)
        if (*p == from) *p = to;
}

char* trimWhiteSpace(char* text) {
    while (isSpace(*text)) ++text;
    if (*text == '\0') return text;
    char* end = text + strlen(text) - 1;
    while (end > text && isSpace(*end)) --end;
    end[1] = '\0';
    return text;
}

bool isWhiteSpaceChar(char c) { return isSpace(c); }

bool is_whitespace(const char* text) {
    for (; *text; ++text)
        if (!isSpace(*text)) return false;
    return true;
}

int countWords(const std::string& text) {
    if (text.empty()) return 0;
    int words = 1;
    for (char c : text)
        if (isSpace(c)) ++words;
    return words;
}

const char* findLastWhiteSpace(const char* text, int n) {
    int boundaries = 0;
    for (const char* p = text; *p; ++p) {
        if (p > text && isSpace(p[-1]) && !isSpace(*p) && ++boundaries == n) return p;
    }
    return "";
}

std::string getVersionString() { return formatC("%d.%s", 1, "7.4 Beta 5"); }

int getXPlaneVersion() {
    int xplane = 0, xplm = 0;
    XPLMHostApplicationID host = 0;
    XPLMGetVersions(&xplane, &xplm, &host);
    return xplane;
}

void setThreadName(const char* name) {
    char shortName[16];
    snprintf(shortName, sizeof shortName, "%s", name);
    pthread_setname_np(pthread_self(), shortName);
}
