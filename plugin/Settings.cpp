#include "Settings.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "common/CLocale.h"
#include "common/Common.h"
#include "common/Files.h"
#include "host/XplmData.h"

Settings gSettings;

namespace {

bool gSettingsRead = false;

// Reads the file the way a word-by-word scanf would: a value that does not
// scan is left in place and becomes the next key candidate.
class Scanner {
public:
    explicit Scanner(const std::string& text) : m_Text(text) {}

    bool word(std::string& out) {
        skipSpace();
        size_t start = m_Pos;
        while (m_Pos < m_Text.size() && !isWhiteSpaceChar(m_Text[m_Pos])) ++m_Pos;
        out.assign(m_Text, start, m_Pos - start);
        return !out.empty();
    }

    bool readInt(int& out) {
        long value;
        if (!readLong(value)) return false;
        out = static_cast<int>(std::max<long>(INT_MIN, std::min<long>(INT_MAX, value)));
        return true;
    }

    bool readUnsigned(unsigned& out) {
        long value;
        if (!readLong(value)) return false;
        out = static_cast<unsigned>(value);
        return true;
    }

    bool readBool(bool& out) {
        long value;
        if (!readLong(value)) return false;
        out = value != 0;
        return true;
    }

    bool readFloat(float& out) {
        skipSpace();
        char* end = nullptr;
        double value = parseDoubleC(m_Text.c_str() + m_Pos, &end);
        size_t used = static_cast<size_t>(end - (m_Text.c_str() + m_Pos));
        if (used == 0 || !std::isfinite(value)) return false;
        m_Pos += used;
        out = static_cast<float>(value);
        return true;
    }

    // The rest of the current line, without line ends and surrounding blanks.
    std::string restOfLine(size_t maxLength) {
        size_t end = m_Text.find('\n', m_Pos);
        if (end == std::string::npos) end = m_Text.size();
        std::string rest = m_Text.substr(m_Pos, std::min(end - m_Pos, maxLength));
        m_Pos = end;
        rest.erase(std::remove(rest.begin(), rest.end(), '\r'), rest.end());
        size_t first = 0;
        while (first < rest.size() && isWhiteSpaceChar(rest[first])) ++first;
        size_t last = rest.size();
        while (last > first && isWhiteSpaceChar(rest[last - 1])) --last;
        return rest.substr(first, last - first);
    }

private:
    void skipSpace() {
        while (m_Pos < m_Text.size() && isWhiteSpaceChar(m_Text[m_Pos])) ++m_Pos;
    }

    bool readLong(long& out) {
        skipSpace();
        const char* start = m_Text.c_str() + m_Pos;
        char* end = nullptr;
        errno = 0;
        long value = strtol(start, &end, 10);
        if (end == start) return false;
        m_Pos += static_cast<size_t>(end - start);
        out = value;
        return true;
    }

    const std::string& m_Text;
    size_t m_Pos = 0;
};

// Reads one value into an atomic member; false leaves the member unchanged.
template <typename T>
bool readInto(Scanner& in, AtomicValue<T>& member) {
    T value{};
    bool ok;
    if constexpr (std::is_same_v<T, float>) ok = in.readFloat(value);
    else if constexpr (std::is_same_v<T, bool>) ok = in.readBool(value);
    else if constexpr (std::is_same_v<T, unsigned>) ok = in.readUnsigned(value);
    else ok = in.readInt(value);
    if (ok) member = value;
    return ok;
}

void readWindow(Scanner& in, WindowProperties& window, bool withCollapsed) {
    int* fields[] = {&window.floatingPosition.left,  &window.floatingPosition.top,
                     &window.floatingPosition.right, &window.floatingPosition.bottom,
                     &window.poppedOutPosition.left, &window.poppedOutPosition.top,
                     &window.poppedOutPosition.right, &window.poppedOutPosition.bottom,
                     &window.translucent,            &window.poppedOut,
                     &window.openOnStart,            &window.alwaysOnTop,
                     &window.collapsed};
    const size_t count = withCollapsed ? 13 : 12;
    for (size_t i = 0; i < count; ++i)
        if (!in.readInt(*fields[i])) return;  // a cut line leaves the default placement
    window.saved = 1;
}

std::string windowText(const WindowProperties& window, bool withCollapsed) {
    std::string text = formatC("%d %d %d %d %d %d %d %d %d %d %d %d", window.floatingPosition.left,
                               window.floatingPosition.top, window.floatingPosition.right,
                               window.floatingPosition.bottom, window.poppedOutPosition.left,
                               window.poppedOutPosition.top, window.poppedOutPosition.right,
                               window.poppedOutPosition.bottom, window.translucent, window.poppedOut,
                               window.openOnStart, window.alwaysOnTop);
    if (withCollapsed) text += formatC(" %d", window.collapsed);
    return text;
}

std::string valueText(float value) { return formatC("%f", value); }
std::string valueText(bool value) { return value ? "1" : "0"; }
std::string valueText(int value) { return formatC("%d", value); }
std::string valueText(unsigned value) { return formatC("%u", value); }

bool hasXPlaneATC() { return XPLMFindDataRef("sim/atc/com1_active") != nullptr; }

// One key: how it is read and, unless it only carries older settings, how it is written.
struct Key {
    const char* name;
    std::function<void(Scanner&, Settings&)> read;
    std::function<std::string(const Settings&)> write;
};

template <typename T>
Key plain(const char* name, AtomicValue<T> Settings::*member) {
    return {name, [member](Scanner& in, Settings& s) { readInto(in, s.*member); },
            [member](const Settings& s) { return valueText(static_cast<T>(s.*member)); }};
}

// The keys in the order they are written.
const std::vector<Key>& keys() {
    static const std::vector<Key> table = {
        plain("CHATTER_VOLUME", &Settings::volume),
        plain("VOICE_VOLUME", &Settings::sapiVolume),
        plain("AUTO_HIDE_TRANSMISSION_WINDOW_DELAY", &Settings::autoHideTransmissionWindowDelay),
        plain("LANDING_DISTANCE_LARGE_AIRPORTS", &Settings::landingClearanceLargeAirports),
        plain("LANDING_DISTANCE_SMALL_AIRPORTS", &Settings::landingClearanceSmallAirports),
        plain("LANDING_CLEARANCE_MAAD", &Settings::landingClearanceMAAD),
        plain("BACK_TAXI_LIMIT", &Settings::backTaxiLimit),
        plain("SPEED_LIMIT", &Settings::speedLimit),
        plain("SPEED_LIMIT_ALTITUDE", &Settings::speedLimitAltitude),
        {"TRANSMISSION_TEXT_COLOR",
         [](Scanner& in, Settings& s) {
             for (float& component : s.transmissionTextColor)
                 if (!in.readFloat(component)) return;
         },
         [](const Settings& s) {
             return formatC("%f %f %f %f", s.transmissionTextColor[0], s.transmissionTextColor[1],
                            s.transmissionTextColor[2], s.transmissionTextColor[3]);
         }},
        plain("STATIC_VOLUME", &Settings::staticVolume),
        plain("COLLECT_USEAGE_DATA", &Settings::collectUsageData),
        plain("LINEUP_DELAY", &Settings::lineUpDelay),
        plain("MINIMUM_DELAY", &Settings::minDelay),
        plain("MAXIMUM_DELAY", &Settings::maxDelay),
        plain("PLAY_CHATTER", &Settings::playChatter),
        plain("AUTO_SELECT_REGION_AND_COUNTRY", &Settings::autoSelectRegionAndCountry),
        plain("USE_XP12_AIRSPACE", &Settings::useXP12Airspace),
        plain("USE_EU_VFR_CODE", &Settings::useEU_VFRCode),
        plain("REPORT_CLIMB_DESCEND", &Settings::reportClimbDescend),
        plain("LEVEL_CHANGE_DIRECT", &Settings::levelChangeDirect),
        plain("SHOW_ATC_ACTIONS", &Settings::showATCActions),
        plain("HIDE_EXPAND_COLLAPSE_ARROWS", &Settings::hideCollapseExpandButton),
        plain("REFRESH_FACILITIES_ON_START", &Settings::refreshFacilitesOnStart),
        plain("SHOW_PILOT_TRANSMISSION_WINDOW", &Settings::showPilotTransmissionWindow),
        plain("AUTO_HIDE_TRANSMISSION_WINDOW", &Settings::autoHideTransmissionWindow),
        plain("NO_BOARDER_ON_TRANSMISSION_WINDOW", &Settings::noBoarderOnTransmissionWindow),
        plain("TRANSMISSION_WINDOW_PTT_BEHAVIOR", &Settings::transmitWidgetPTTBehavior),
        plain("KEEP_TRANSMISSION_WINDOW_OPEN", &Settings::keepTransmissionWindowOpen),
        plain("DEBUG_OUTPUT", &Settings::debugOutput),
        plain("RADIO_POWER", &Settings::radioPower),
        plain("USE_AUDIO_PANEL", &Settings::useAudioPanel),
        plain("ADD_STATIC", &Settings::addStatic),
        plain("COPILOT_HANDLES_RADIOS", &Settings::copilotHandlesRadios),
        plain("USER_TALKS", &Settings::UserTalks),
        plain("CONFIRM_ALTITUDE_CHANGES_BEFORE_TRANSMISSION", &Settings::confirmAltitudeChangeBeforeTransmission),
        plain("AUTO_SELECT_RUNWAYS", &Settings::autoSelectRunways),
        plain("PRESELECT_RUNWAYS", &Settings::preselectRunways),
        plain("CONTROL_PANEL_POPPED_OUT", &Settings::controlPanelPoppedOut),
        plain("RADIO_PANEL_POPPED_OUT", &Settings::radioPanelPoppedOut),
        plain("AUTOMATIC_CONTROLLERS", &Settings::automaticControllers),
        {"ACTIVE_CONTROLLER",
         [](Scanner& in, Settings& s) {
             if (readInto(in, s.activeController) && (s.activeController < 0 || s.activeController > 9))
                 s.activeController = 5;
         },
         [](const Settings& s) { return valueText(static_cast<int>(s.activeController)); }},
        {"USE_COM1",
         [](Scanner& in, Settings& s) {
             if (readInto(in, s.useCOM1) && s.useCOM1) s.useCOM2 = false;
         },
         [](const Settings& s) { return valueText(static_cast<bool>(s.useCOM1)); }},
        {"USE_COM2",
         [](Scanner& in, Settings& s) {
             if (readInto(in, s.useCOM2) && s.useCOM2) s.useCOM1 = false;
         },
         [](const Settings& s) { return valueText(static_cast<bool>(s.useCOM2)); }},
        plain("ENABLE_CENTER_OVERRIDE", &Settings::enableCenterOverride),
        plain("USE_EXTERNAL_VOICE_INTEGRATION", &Settings::useExternalVoiceIntegration),
        plain("USE_SCENERY_FREQUENCY_NAMES", &Settings::useSceneryFrequencyNames),
        plain("PAUSE_ON_ANY_ATIS", &Settings::pauseOnAnyAtis),
        plain("ENABLE_EXTERNAL_INTEGRATIONS", &Settings::enableExternalIntegrations),
        plain("XLIFE_MS_PAUSE_PER_WORD", &Settings::xlifeMSPerWord),
        {"AUDIO_DEVICE", [](Scanner& in, Settings& s) { s.audioDevice = in.restOfLine(PATH_BUFFER_SIZE).substr(0, 199); },
         [](const Settings& s) { return s.audioDevice; }},
        {"VOICE_FILTER", [](Scanner& in, Settings& s) { s.voiceFilter = in.restOfLine(PATH_BUFFER_SIZE); },
         [](const Settings& s) { return s.voiceFilter; }},
        plain("INTERIOR_ONLY_SOUND", &Settings::interiorOnlySound),
        {"USE_X-PLANE_ATC",
         [](Scanner& in, Settings& s) {
             if (!readInto(in, s.useXPlaneATC) || !s.useXPlaneATC) return;
             if (!hasXPlaneATC()) {
                 logMsg("Use X-Plane ATC was enabled but this version of X-Plane does not have the new ATC voice "
                        "capabilities");
                 s.useXPlaneATC = false;
                 return;
             }
             s.enableExternalIntegrations = false;
             s.useSayIntentions = false;
         },
         [](const Settings& s) { return valueText(static_cast<bool>(s.useXPlaneATC)); }},
        {"USE_SAY_INTENTIONS",
         [](Scanner& in, Settings& s) {
             if (readInto(in, s.useSayIntentions) && s.useSayIntentions) {
                 s.enableExternalIntegrations = false;
                 s.useXPlaneATC = false;
             }
         },
         [](const Settings& s) { return valueText(static_cast<bool>(s.useSayIntentions)); }},
        plain("USE_TRAFFIC_GLOBAL", &Settings::useTrafficGlobal),
        plain("CLIP_VERSION", &Settings::clipVersion),
        {"COPILOT_TRIGGERS",
         [](Scanner& in, Settings& s) {
             for (auto* trigger : {&s.enableClearanceTrigger, &s.enablePushbackTrigger, &s.enableTaxiTrigger,
                                   &s.enableTakeoffTrigger, &s.enableClearOfRunwayTrigger})
                 if (!readInto(in, *trigger)) return;
         },
         [](const Settings& s) {
             return formatC("%d %d %d %d %d", static_cast<int>(s.enableClearanceTrigger),
                            static_cast<int>(s.enablePushbackTrigger), static_cast<int>(s.enableTaxiTrigger),
                            static_cast<int>(s.enableTakeoffTrigger), static_cast<int>(s.enableClearOfRunwayTrigger));
         }},
        {"CONTROL_PANEL_PROPERTIES", [](Scanner& in, Settings& s) { readWindow(in, s.controlPanelProperties, true); },
         [](const Settings& s) { return windowText(s.controlPanelProperties, true); }},
        {"SIMPLE_ATC_PROPERTIES", [](Scanner& in, Settings& s) { readWindow(in, s.zuruvoZEVProperties, true); },
         [](const Settings& s) { return windowText(s.zuruvoZEVProperties, true); }},
        {"PILOT_TRANSMISSION_PROPERTIES",
         [](Scanner& in, Settings& s) { readWindow(in, s.pilotTransmissionProperties, true); },
         [](const Settings& s) { return windowText(s.pilotTransmissionProperties, true); }},
        {"NEAREST_FACILITY_PANEL_PROPERTIES",
         [](Scanner& in, Settings& s) { readWindow(in, s.nearestFacilitiesPanelProperties, false); },
         [](const Settings& s) { return windowText(s.nearestFacilitiesPanelProperties, false); }},
        // Older settings, read once and handed to the speech configuration.
        {"VOICE_RSS_API_KEY", [](Scanner& in, Settings& s) { in.word(s.voiceRSSAPIKey); }, nullptr},
        {"VOICE_SELECTIONS",
         [](Scanner& in, Settings& s) { s.oldVoiceSelections = in.restOfLine(PATH_BUFFER_SIZE); }, nullptr},
    };
    return table;
}

const Key* findKey(const std::string& word) {
    static const std::map<std::string, const Key*> byName = [] {
        std::map<std::string, const Key*> map;
        for (const auto& key : keys()) map[key.name] = &key;
        return map;
    }();
    auto it = byName.find(word);
    return it == byName.end() ? nullptr : it->second;
}

std::string settingsPath() { return makePluginFileName("Quillon.ini"); }

}  // namespace

void parseSettings(Settings& settings, const std::string& text) {
    Scanner in(text);
    std::string word;
    while (in.word(word)) {
        for (char& c : word) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        if (const Key* key = findKey(word)) key->read(in, settings);
    }
    if (settings.maxDelay <= 0 || settings.maxDelay < settings.minDelay) {
        settings.minDelay = 5;
        settings.maxDelay = 30;
    }
}

std::string formatSettings(const Settings& settings) {
    std::string text;
    for (const auto& key : keys()) {
        if (!key.write) continue;
        text += key.name;
        text += ' ';
        text += key.write(settings);
        text += '\n';
    }
    return text;
}

void readSettings() {
    gSettings = Settings();
    gSettingsRead = true;
    std::string text;
    if (!readTextFile(settingsPath(), text, 1u << 20)) {
        saveSettings();
        return;
    }
    parseSettings(gSettings, text);
}

bool saveSettings() {
    const std::string path = settingsPath();
    if (!writeFileAtomically(path, formatSettings(gSettings))) {
        sLogMsg("Unable to create %s", path.c_str());
        return false;
    }
    return true;
}

Settings& getSettings() {
    if (!gSettingsRead) readSettings();
    return gSettings;
}
