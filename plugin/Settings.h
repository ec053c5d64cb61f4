// The user's preferences: one record, read from Quillon.ini in the plug-in
// folder at start and written back whenever they change and at stop.
#pragma once

#include <string>

#include "common/AtomicValue.h"

struct WindowPosition {
    int top = 0;
    int left = 0;
    int right = 0;
    int bottom = 0;
};

struct WindowProperties {
    WindowPosition floatingPosition;
    WindowPosition poppedOutPosition;
    int translucent = 0;
    int poppedOut = 0;
    int openOnStart = 0;
    int alwaysOnTop = 0;
    int collapsed = 0;
    int saved = 0;  // 1 once a position is known; 0 places the window by default
};

// Numbers and switches are read by the chatter and speech threads while the
// simulator thread may change them, hence atomic.
struct Settings {
    WindowProperties controlPanelProperties;
    WindowProperties nearestFacilitiesPanelProperties;
    WindowProperties zuruvoZEVProperties;
    WindowProperties pilotTransmissionProperties;
    AtomicValue<float> volume{0.9f};
    AtomicValue<float> sapiVolume{0.9f};
    AtomicValue<float> staticVolume{0.0f};
    AtomicValue<bool> addStatic{false};
    AtomicValue<bool> refreshFacilitesOnStart{true};
    AtomicValue<bool> playChatter{true};
    AtomicValue<int> minDelay{5};
    AtomicValue<int> maxDelay{30};
    AtomicValue<int> activeController{5};  // Controllers: CONTROLLER_APP
    AtomicValue<bool> radioPower{false};
    AtomicValue<bool> useAudioPanel{false};
    AtomicValue<bool> automaticControllers{false};
    AtomicValue<bool> useCOM1{true};
    AtomicValue<bool> useCOM2{false};
    AtomicValue<bool> enableCenterOverride{false};
    AtomicValue<bool> enableExternalIntegrations{false};
    AtomicValue<int> xlifeMSPerWord{500};
    AtomicValue<bool> interiorOnlySound{false};
    AtomicValue<int> controlPanelPoppedOut{0};
    AtomicValue<int> radioPanelPoppedOut{0};
    AtomicValue<bool> useXPlaneATC{false};
    AtomicValue<bool> useSayIntentions{false};
    AtomicValue<bool> useTrafficGlobal{false};
    std::string audioDevice = "X-Plane Audio";  // at most 199 characters
    AtomicValue<bool> copilotHandlesRadios{false};
    AtomicValue<bool> autoSelectRunways{false};
    AtomicValue<bool> preselectRunways{false};
    AtomicValue<bool> showPilotTransmissionWindow{false};
    AtomicValue<bool> useExternalVoiceIntegration{false};
    AtomicValue<bool> useSceneryFrequencyNames{false};
    AtomicValue<bool> pauseOnAnyAtis{false};
    AtomicValue<int> enableClearanceTrigger{0};  // Triggers: TRIGGER_LIGHT
    AtomicValue<int> enablePushbackTrigger{0};
    AtomicValue<int> enableTaxiTrigger{0};
    AtomicValue<int> enableTakeoffTrigger{0};
    AtomicValue<int> enableClearOfRunwayTrigger{0};
    AtomicValue<bool> confirmAltitudeChangeBeforeTransmission{false};
    AtomicValue<unsigned> lineUpDelay{45};
    AtomicValue<bool> keepTransmissionWindowOpen{false};
    AtomicValue<bool> autoHideTransmissionWindow{false};
    AtomicValue<bool> noBoarderOnTransmissionWindow{false};
    AtomicValue<float> autoHideTransmissionWindowDelay{5.0f};
    AtomicValue<int> transmitWidgetPTTBehavior{0};  // TransmitWidgetPTTBehavior: ALWAYS_TRANSMIT
    AtomicValue<bool> debugOutput{false};
    float transmissionTextColor[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    AtomicValue<float> landingClearanceLargeAirports{8.0f};
    AtomicValue<float> landingClearanceSmallAirports{3.0f};
    AtomicValue<unsigned> landingClearanceMAAD{180};
    AtomicValue<bool> useEU_VFRCode{false};
    AtomicValue<unsigned> speedLimit{250};
    AtomicValue<unsigned> speedLimitAltitude{10000};
    AtomicValue<bool> reportClimbDescend{true};
    AtomicValue<unsigned> backTaxiLimit{700};
    AtomicValue<bool> levelChangeDirect{false};
    AtomicValue<bool> showATCActions{false};
    AtomicValue<bool> hideCollapseExpandButton{false};
    AtomicValue<bool> UserTalks{false};
    AtomicValue<int> clipVersion{0};
    AtomicValue<bool> autoSelectRegionAndCountry{false};
    AtomicValue<bool> useXP12Airspace{true};
    AtomicValue<bool> collectUsageData{true};
    std::string voiceRSSAPIKey;       // read only: carried into the speech configuration
    std::string voiceFilter;
    std::string oldVoiceSelections;   // read only: carried into the speech configuration
};

extern Settings gSettings;

// The record; the first call reads the file.
Settings& getSettings();
// Resets every member to its default, then reads Quillon.ini; a missing file
// is created with the defaults.
void readSettings();
// Writes the whole record; false (and logged) when the file could not be written.
bool saveSettings();
// Reads settings from a text, as readSettings does from the file.
void parseSettings(Settings& settings, const std::string& text);
// The file's text for a record.
std::string formatSettings(const Settings& settings);
