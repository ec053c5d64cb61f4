// Entry points, start and stop sequences and the per-frame flight loop.
#include "Quillon.h"

#include <curl/curl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

#include "Commands.h"
#include "Controllers.h"
#include "Integrations.h"
#include "SayIntentions.h"
#include "Scheduler.h"
#include "Settings.h"
#include "SimState.h"
#include "SpeechDataRefs.h"
#include "audio/Clips.h"
#include "audio/Sound.h"
#include "audio/wave.h"
#include "common/Common.h"
#include "common/Guard.h"
#include "host/Xplm.h"
#include "nav/AirSpaceManager.h"
#include "nav/Facility.h"
#include "nav/RegionMap.h"
#include "panels/MsgBox.h"
#include "speech/VoiceManager.h"

SoundFile gSoundFile;
std::atomic<int> simInitialized{0};
std::atomic<int> playEnabled{0};
SafeQueue<std::string> loggerQue;

namespace {

std::thread gChatterThread;
char gVersion[PATH_BUFFER_SIZE] = "";
int gLastFrequency = 0;
int gLastIntegrationMode = INTEGRATION_CONTROL_OFF;

void copyOut(char* buffer, const char* text) {
    // The simulator's buffers hold 256 bytes.
    snprintf(buffer, 256, "%s", text);
}

void chatterThreadBody() {
    setThreadName("QuillonChatter");
    guardedVoid("chatter thread", [] { playChatter(); });
}

// X-Plane's ATC retuning the radios fights with the user's choice of frequency.
void warnAboutAutoTune() {
    std::ifstream preferences(getSystemPathString() + "Output/preferences/Miscellaneous.prf");
    std::string line;
    while (std::getline(preferences, line)) {
        if (line.substr(0, 2000).find("auto_tune_for_atc 1") == std::string::npos) continue;
        msgBox("WARNING", "X-Plane ATC Auto Tune Radios appears to be enabled.\n\nQuillon may not work properly.");
        return;
    }
}

void startSequence(char* outName, char* outSignature, char* outDescription) {
    getMsgBoxManager();
    XPLMEnableFeature("XPLM_USE_NATIVE_WIDGET_WINDOWS", 1);
    XPLMEnableFeature("XPLM_USE_NATIVE_PATHS", 1);
    curl_global_init(CURL_GLOBAL_ALL);
    copyOut(outName, "Quillon Player");
    copyOut(outSignature, "Orvan.Quillon");
    copyOut(outDescription, "Plays ATC chatter files based on com radio tuning");
    initCommon("Quillon");
    // Halting stops the chatter; the thread is joined by the stop sequence.
    setHaltHandler([] {
        playEnabled = 0;
        wakeChatter();
    });

    initSimState();
    initIntegrations();
    readSettings();
    setActiveController(gSettings.activeController);
    getClipManager().getChatterFiles();

    registerCommands();
    registerIntegrationDataRefs();
    registerSpeechDataRefs();

    snprintf(gVersion, sizeof gVersion, "%s", getVersionString().c_str());
    AirSpaceManager::load();
    getFacilities();
    getClipManager().tagClips();
    getClipManager().loadClipSelections();
    XPLMRegisterFlightLoopCallback(myFlightLoop, -1.0f, nullptr);
    sLogMsg("Initialization complete for version %s", gVersion);
    getVoiceManager();
    if (!gSettings.useXPlaneATC) warnAboutAutoTune();
    RegionMapManager::getInstance();
}

void stopChatterThread() {
    playEnabled = 0;
    gSoundFile.playSound = false;
    gSoundFile.isPlaying = false;
    wakeChatter();
    if (gChatterThread.joinable()) gChatterThread.join();
}

void stopSequence() {
    if (gSettings.debugOutput) logMsg("Shutdown started");
    XPLMUnregisterFlightLoopCallback(myFlightLoop, nullptr);
    stopChatterThread();
    // A clip handed over but never played would be lost with its memory.
    freeWaveData(gSoundFile.waveData.exchange(nullptr));
    stopSoundSystem();
    simInitialized = 0;
    unregisterCommands();
    unregisterIntegrationDataRefs();
    unregisterSpeechDataRefs();
    SayIntentions::release();
    clearFacilities();
    saveSettings();
    getClipManager().saveClipSelections();
    removeVoiceManager();
    RegionMapManager::removeInstance();
    removeMsgBoxManager();
    AirSpaceManager::clear();
    curl_global_cleanup();
    writePendingLogLines();
    logMsg("Quillon has shut down");
}

void firstFlightLoopCall() {
    char pluginPath[PATH_BUFFER_SIZE];
    getPluginPath(pluginPath);
    startSoundSystem();
    gSoundFile.waveData = nullptr;
    gSoundFile.playSound = false;
    gSoundFile.stopRequest = false;
    gSoundFile.isPlaying = false;
    simInitialized = 1;
    playEnabled = 1;
    gLastIntegrationMode = getIntegrationMode();
    gChatterThread = std::thread(chatterThreadBody);
    logMsg("Chatter Started");
}

// With debug output on, the log shows what the radios read, which explains
// most "why is there no chatter" questions.
void logRadioChanges() {
    static Radios last;
    static int lastFrequency = -1;
    const Radios radios = getRadios();
    const int frequency = getCurrentFrequency();
    if (radios.com1Freq == last.com1Freq && radios.com2Freq == last.com2Freq && radios.power == last.power &&
        frequency == lastFrequency)
        return;
    last = radios;
    lastFrequency = frequency;
    if (gSettings.debugOutput)
        sLogMsg("Radios: COM1 %d, COM2 %d, chatter frequency %d, power %s", radios.com1Freq, radios.com2Freq, frequency,
                radios.power ? "on" : "off");
}

// Plays the clip the chatter thread handed over, carries out a stop request
// and notices the end of the clip, which also ends its static.
void soundHandOff() {
    if (gSoundFile.playSound) {
        if (WaveData* clip = gSoundFile.waveData.exchange(nullptr)) {
            if (clip->format == 0) {
                sLogMsg("Invalid PCM format in %s", clip->path);
            } else if (clip->data) {
                if (gSoundFile.addStatic) addStatic(false);
                playSound(clip, CLIP_SOURCE, false);
                // The chatter thread waits while a clip is handed over or playing: it must
                // never see neither while this one starts.
                if (isSoundPlaying(CLIP_SOURCE)) gSoundFile.isPlaying = true;
                // A clip the output refused would never be seen to end, nor would its static.
                else if (gSoundFile.addStatic) addStatic(true);
            } else {
                sLogMsg("Missing PCM data in %s", clip->path);
            }
            freeWaveData(clip);
        }
        gSoundFile.playSound = false;
    }
    if (gSoundFile.stopRequest.exchange(false)) stopPlaying(CLIP_SOURCE);
    const bool playing = isSoundPlaying(CLIP_SOURCE);
    if (gSoundFile.isPlaying && !playing && gSoundFile.addStatic) addStatic(true);
    gSoundFile.isPlaying = playing;
}

// Once per run, the user learns that SayIntentions.AI talks while its integration is off.
void warnAboutSayIntentions() {
    SayIntentions* sayIntentions = SayIntentions::getInstance();
    if (gSettings.useSayIntentions || !sayIntentions->isAvailable() || sayIntentions->notified) return;
    msgBox("Warning",
           "You appear to be using SayIntentions.AI ATC but that integration is not selected in the Quillon settings.");
    sayIntentions->notified = true;
}

// What the radio hears changed: the clip on the air is cut off.
void stopClipOnChanges() {
    const int frequency = getCurrentFrequency();
    if (frequency != gLastFrequency && (gSettings.automaticControllers || gSettings.useSayIntentions)) {
        gLastFrequency = frequency;
        if (isSoundPlaying(CLIP_SOURCE)) gSoundFile.stopRequest = true;
        resetPause();
    }
    const int mode = getIntegrationMode();
    if (gSettings.enableExternalIntegrations && mode != gLastIntegrationMode && isSoundPlaying(CLIP_SOURCE))
        gSoundFile.stopRequest = true;
    gLastIntegrationMode = mode;
}

float flightLoop() {
    if (!simInitialized) firstFlightLoopCall();
    SayIntentions::getInstance()->updateValues();

    std::string line;
    if (loggerQue.Consume(line) && gSettings.debugOutput) logMsg(line.c_str());
    writePendingLogLines();

    // X-Plane's ATC moved the chatter radio to another facility.
    if (updateXPlaneATC() && gSettings.useXPlaneATC && isSoundPlaying(CLIP_SOURCE)) gSoundFile.stopRequest = true;
    if (gSettings.enableExternalIntegrations) computeIntegrationMode();
    updateRadioPower();
    sampleAircraftPosition();
    logRadioChanges();
    stopClipOnChanges();
    sampleSimulatorFlags();
    soundHandOff();
    RegionMapManager::getInstance()->checkRegion();
    warnAboutSayIntentions();
    getVoiceManager()->processTextToSpeech();
    return -1.0f;
}

}  // namespace

float myFlightLoop(float, float, int, void*) {
    if (isPluginHalted()) return 0.0f;
    return guarded("flight loop", -1.0f, flightLoop);
}

XPLM_EXPORT int XPluginStart(char* outName, char* outSignature, char* outDescription) {
    // A failed start still reports success, so that the simulator calls the
    // stop sequence and everything registered so far is removed again.
    return guarded("XPluginStart", 1, [&] {
        startSequence(outName, outSignature, outDescription);
        return 1;
    });
}

XPLM_EXPORT void XPluginStop(void) { guardedVoid("XPluginStop", stopSequence, true); }

XPLM_EXPORT int XPluginEnable(void) {
    return guarded("XPluginEnable", 1, [] {
        getVoiceManager();
        return 1;
    });
}

XPLM_EXPORT void XPluginDisable(void) {
    guardedVoid("XPluginDisable", [] {
        if (gSettings.debugOutput) logMsg("Disable started");
        logMsg("Disabled");
    }, true);
}

XPLM_EXPORT void XPluginReceiveMessage(XPLMPluginID, int message, void* param) {
    guardedVoid("XPluginReceiveMessage", [&] {
        switch (message) {
            case XPLM_MSG_PLANE_LOADED:
                if (reinterpret_cast<intptr_t>(param) != XPLM_USER_AIRCRAFT) break;
                clearExternalPause();
                recordOrigin();
                setAltitudeChangeRequest(false, 0);
                break;
            case XPLM_MSG_AIRPORT_LOADED:
                recordOrigin();
                markAirportLoaded();
                if (!gSettings.automaticControllers) setActiveController(CONTROLLER_CLR);
                RegionMapManager::getInstance()->resetRegionCheck();
                break;
            case XPLM_MSG_ENTERED_VR:
                logMsg("Entering VR Mode");
                break;
            case XPLM_MSG_EXITING_VR:
                logMsg("Exiting VR Mode");
                break;
            default:
                break;
        }
    });
}
