#include <clocale>
#include <filesystem>
#include <fstream>
#include <functional>

#include "HostFixture.h"
#include "Settings.h"
#include "common/Files.h"

namespace {

// Every key with a value other than its default, in the order they are written.
const char* kEveryKey =
    "CHATTER_VOLUME 0.250000\n"
    "VOICE_VOLUME 0.500000\n"
    "AUTO_HIDE_TRANSMISSION_WINDOW_DELAY 2.500000\n"
    "LANDING_DISTANCE_LARGE_AIRPORTS 9.000000\n"
    "LANDING_DISTANCE_SMALL_AIRPORTS 2.000000\n"
    "LANDING_CLEARANCE_MAAD 90\n"
    "BACK_TAXI_LIMIT 800\n"
    "SPEED_LIMIT 200\n"
    "SPEED_LIMIT_ALTITUDE 12000\n"
    "TRANSMISSION_TEXT_COLOR 0.100000 0.200000 0.300000 0.400000\n"
    "STATIC_VOLUME 0.125000\n"
    "COLLECT_USEAGE_DATA 0\n"
    "LINEUP_DELAY 60\n"
    "MINIMUM_DELAY 2\n"
    "MAXIMUM_DELAY 9\n"
    "PLAY_CHATTER 0\n"
    "AUTO_SELECT_REGION_AND_COUNTRY 1\n"
    "USE_XP12_AIRSPACE 0\n"
    "USE_EU_VFR_CODE 1\n"
    "REPORT_CLIMB_DESCEND 0\n"
    "LEVEL_CHANGE_DIRECT 1\n"
    "SHOW_ATC_ACTIONS 1\n"
    "HIDE_EXPAND_COLLAPSE_ARROWS 1\n"
    "REFRESH_FACILITIES_ON_START 0\n"
    "SHOW_PILOT_TRANSMISSION_WINDOW 1\n"
    "AUTO_HIDE_TRANSMISSION_WINDOW 1\n"
    "NO_BOARDER_ON_TRANSMISSION_WINDOW 1\n"
    "TRANSMISSION_WINDOW_PTT_BEHAVIOR 3\n"
    "KEEP_TRANSMISSION_WINDOW_OPEN 1\n"
    "DEBUG_OUTPUT 1\n"
    "RADIO_POWER 1\n"
    "USE_AUDIO_PANEL 1\n"
    "ADD_STATIC 1\n"
    "COPILOT_HANDLES_RADIOS 1\n"
    "USER_TALKS 1\n"
    "CONFIRM_ALTITUDE_CHANGES_BEFORE_TRANSMISSION 1\n"
    "AUTO_SELECT_RUNWAYS 1\n"
    "PRESELECT_RUNWAYS 1\n"
    "CONTROL_PANEL_POPPED_OUT 1\n"
    "RADIO_PANEL_POPPED_OUT 1\n"
    "AUTOMATIC_CONTROLLERS 1\n"
    "ACTIVE_CONTROLLER 2\n"
    "USE_COM1 0\n"
    "USE_COM2 1\n"
    "ENABLE_CENTER_OVERRIDE 1\n"
    "USE_EXTERNAL_VOICE_INTEGRATION 1\n"
    "USE_SCENERY_FREQUENCY_NAMES 1\n"
    "PAUSE_ON_ANY_ATIS 1\n"
    "ENABLE_EXTERNAL_INTEGRATIONS 1\n"
    "XLIFE_MS_PAUSE_PER_WORD 350\n"
    "AUDIO_DEVICE Built-in Audio Analog Stereo\n"
    "VOICE_FILTER en-US female\n"
    "INTERIOR_ONLY_SOUND 1\n"
    "USE_X-PLANE_ATC 0\n"
    "USE_SAY_INTENTIONS 0\n"
    "USE_TRAFFIC_GLOBAL 1\n"
    "CLIP_VERSION 7\n"
    "COPILOT_TRIGGERS 1 2 0 1 2\n"
    "CONTROL_PANEL_PROPERTIES 10 20 30 40 50 60 70 80 1 0 1 0 1\n"
    "SIMPLE_ATC_PROPERTIES 11 21 31 41 51 61 71 81 0 1 0 1 0\n"
    "PILOT_TRANSMISSION_PROPERTIES 12 22 32 42 52 62 72 82 1 1 1 1 1\n"
    "NEAREST_FACILITY_PANEL_PROPERTIES 13 23 33 43 53 63 73 83 0 0 1 1\n";

class SettingsFile : public HostTest {
protected:
    std::string iniPath() const { return pluginFolder + "Quillon.ini"; }
    void writeIni(const std::string& text) const { std::ofstream(iniPath(), std::ios::binary) << text; }
    std::string readIni() const {
        std::string text;
        readTextFile(iniPath(), text);
        return text;
    }
};

TEST_F(SettingsFile, EveryKeyIsReadAndWrittenBackInOrder) {
    writeIni(kEveryKey);
    readSettings();
    EXPECT_FLOAT_EQ(gSettings.volume, 0.25f);
    EXPECT_EQ(gSettings.activeController, 2);
    EXPECT_TRUE(gSettings.useCOM2);
    EXPECT_FALSE(gSettings.useCOM1);
    EXPECT_EQ(gSettings.audioDevice, "Built-in Audio Analog Stereo");
    EXPECT_EQ(gSettings.controlPanelProperties.floatingPosition.top, 20);
    EXPECT_EQ(gSettings.controlPanelProperties.collapsed, 1);
    EXPECT_EQ(gSettings.controlPanelProperties.saved, 1);
    EXPECT_EQ(gSettings.nearestFacilitiesPanelProperties.alwaysOnTop, 1);
    EXPECT_EQ(gSettings.nearestFacilitiesPanelProperties.collapsed, 0);  // its line has no such value
    EXPECT_EQ(gSettings.enableClearOfRunwayTrigger, 2);
    EXPECT_FLOAT_EQ(gSettings.transmissionTextColor[3], 0.4f);

    ASSERT_TRUE(saveSettings());
    EXPECT_EQ(readIni(), kEveryKey);
    Settings first = gSettings;
    readSettings();
    EXPECT_EQ(formatSettings(gSettings), formatSettings(first));
}

TEST_F(SettingsFile, DefaultsAreWrittenWhenTheFileIsMissing) {
    readSettings();
    const std::string text = readIni();
    EXPECT_EQ(text, formatSettings(Settings()));
    EXPECT_NE(text.find("CHATTER_VOLUME 0.900000\n"), std::string::npos);
    EXPECT_NE(text.find("AUDIO_DEVICE X-Plane Audio\n"), std::string::npos);
    EXPECT_NE(text.find("NEAREST_FACILITY_PANEL_PROPERTIES 0 0 0 0 0 0 0 0 0 0 0 0\n"), std::string::npos);
    EXPECT_EQ(text.find("VOICE_RSS_API_KEY"), std::string::npos);
    EXPECT_EQ(text.find("VOICE_SELECTIONS"), std::string::npos);
}

TEST_F(SettingsFile, AnEmptyFileGivesDefaultsAndIsNotRewritten) {
    writeIni("");
    readSettings();
    EXPECT_EQ(formatSettings(gSettings), formatSettings(Settings()));
    EXPECT_EQ(readIni(), "");
}

struct ReadCase {
    const char* name;
    const char* text;
    std::function<void(const Settings&)> check;
};

TEST_F(SettingsFile, ReadingRules) {
    const ReadCase cases[] = {
        {"lower-case key", "use_com2 1\n", [](const Settings& s) { EXPECT_TRUE(s.useCOM2); EXPECT_FALSE(s.useCOM1); }},
        {"COM1 after COM2 wins", "USE_COM2 1\nUSE_COM1 1\n",
         [](const Settings& s) { EXPECT_TRUE(s.useCOM1); EXPECT_FALSE(s.useCOM2); }},
        {"delays repaired", "MINIMUM_DELAY 40\nMAXIMUM_DELAY 30\n",
         [](const Settings& s) { EXPECT_EQ(s.minDelay, 5); EXPECT_EQ(s.maxDelay, 30); }},
        {"zero maximum delay", "MINIMUM_DELAY 0\nMAXIMUM_DELAY 0\n",
         [](const Settings& s) { EXPECT_EQ(s.minDelay, 5); EXPECT_EQ(s.maxDelay, 30); }},
        {"equal delays kept", "MINIMUM_DELAY 7\nMAXIMUM_DELAY 7\n",
         [](const Settings& s) { EXPECT_EQ(s.minDelay, 7); EXPECT_EQ(s.maxDelay, 7); }},
        {"controller out of range", "ACTIVE_CONTROLLER 12\n", [](const Settings& s) { EXPECT_EQ(s.activeController, 5); }},
        {"negative controller", "ACTIVE_CONTROLLER -1\n", [](const Settings& s) { EXPECT_EQ(s.activeController, 5); }},
        {"device with blanks", "AUDIO_DEVICE    Built-in  Audio Stereo   \r\nCHATTER_VOLUME 0.5\n",
         [](const Settings& s) {
             EXPECT_EQ(s.audioDevice, "Built-in  Audio Stereo");
             EXPECT_FLOAT_EQ(s.volume, 0.5f);
         }},
        {"device cut at 199", nullptr, [](const Settings& s) { EXPECT_EQ(s.audioDevice, std::string(199, 'd')); }},
        {"say intentions clears the others", "ENABLE_EXTERNAL_INTEGRATIONS 1\nUSE_SAY_INTENTIONS 1\n",
         [](const Settings& s) { EXPECT_TRUE(s.useSayIntentions); EXPECT_FALSE(s.enableExternalIntegrations); }},
        {"a later key sets a cleared flag again", "USE_SAY_INTENTIONS 1\nENABLE_EXTERNAL_INTEGRATIONS 1\n",
         [](const Settings& s) { EXPECT_TRUE(s.useSayIntentions); EXPECT_TRUE(s.enableExternalIntegrations); }},
        {"X-Plane ATC on X-Plane 12", "USE_SAY_INTENTIONS 1\nUSE_X-PLANE_ATC 1\n",
         [](const Settings& s) { EXPECT_TRUE(s.useXPlaneATC); EXPECT_FALSE(s.useSayIntentions); }},
        {"garbage words are skipped", "hello CHATTER_VOLUME world 0.3 MINIMUM_DELAY 12abc MAXIMUM_DELAY 40\n",
         [](const Settings& s) {
             EXPECT_FLOAT_EQ(s.volume, 0.9f);  // "world" is not a number: it is taken as the next key
             EXPECT_EQ(s.minDelay, 12);
             EXPECT_EQ(s.maxDelay, 40);
         }},
        {"non-finite numbers are not numbers", "CHATTER_VOLUME nan\nVOICE_VOLUME inf\n",
         [](const Settings& s) { EXPECT_FLOAT_EQ(s.volume, 0.9f); EXPECT_FLOAT_EQ(s.sapiVolume, 0.9f); }},
        {"cut window line keeps the default placement", "CONTROL_PANEL_PROPERTIES 1 2 3\n",
         [](const Settings& s) { EXPECT_EQ(s.controlPanelProperties.saved, 0); }},
        {"legacy keys", "VOICE_RSS_API_KEY abc123 more\nVOICE_SELECTIONS  1,2, 3 \n",
         [](const Settings& s) {
             EXPECT_EQ(s.voiceRSSAPIKey, "abc123");
             EXPECT_EQ(s.oldVoiceSelections, "1,2, 3");
         }},
        {"huge integer", "MAXIMUM_DELAY 99999999999999999999\n",
         [](const Settings& s) { EXPECT_EQ(s.maxDelay, 2147483647); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(c.text ? c.text : "AUDIO_DEVICE " + std::string(500, 'd') + "\n");
        readSettings();
        c.check(gSettings);
    }
}

TEST_F(SettingsFile, XPlaneATCIsRefusedWithoutTheSimulatorsATC) {
    sim::Sim::get().flags["xp11"] = "1";
    sim::clearDataRefs();
    sim::createPresetDataRefs();
    writeIni("ENABLE_EXTERNAL_INTEGRATIONS 1\nUSE_X-PLANE_ATC 1\n");
    readSettings();
    EXPECT_FALSE(gSettings.useXPlaneATC);
    EXPECT_TRUE(gSettings.enableExternalIntegrations);
    EXPECT_TRUE(logged("Use X-Plane ATC was enabled but this version of X-Plane does not have the new ATC voice "
                       "capabilities"));
}

TEST_F(SettingsFile, AFailedWriteKeepsTheOldFileAndTheRecord) {
    writeIni(kEveryKey);
    readSettings();
    // The temporary file cannot be created where a folder of that name stands.
    std::filesystem::create_directory(iniPath() + ".tmp");
    gSettings.volume = 0.75f;
    EXPECT_FALSE(saveSettings());
    EXPECT_TRUE(logged("Unable to create " + iniPath()));
    EXPECT_EQ(readIni(), kEveryKey);
    EXPECT_FLOAT_EQ(gSettings.volume, 0.75f);
    std::filesystem::remove(iniPath() + ".tmp");
    EXPECT_TRUE(saveSettings());
    EXPECT_NE(readIni().find("CHATTER_VOLUME 0.750000\n"), std::string::npos);
}

TEST_F(SettingsFile, NumbersAreCLocaleUnderACommaLocale) {
    const std::string saved = setlocale(LC_ALL, nullptr);
    ASSERT_NE(setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    writeIni("CHATTER_VOLUME 0.5\nTRANSMISSION_TEXT_COLOR 0.25 0.5 0.75 1\n");
    readSettings();
    EXPECT_FLOAT_EQ(gSettings.volume, 0.5f);
    EXPECT_FLOAT_EQ(gSettings.transmissionTextColor[2], 0.75f);
    const std::string text = formatSettings(gSettings);
    setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(text.find("CHATTER_VOLUME 0.500000\n"), std::string::npos);
    EXPECT_NE(text.find("TRANSMISSION_TEXT_COLOR 0.250000 0.500000 0.750000 1.000000\n"), std::string::npos);
}

}  // namespace
