#include "Scheduler.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "Controllers.h"
#include "FacilityEvaluation.h"
#include "Integrations.h"
#include "Quillon.h"
#include "SayIntentions.h"
#include "Settings.h"
#include "SimState.h"
#include "audio/Clips.h"
#include "audio/Sound.h"
#include "audio/wave.h"
#include "common/CLocale.h"
#include "common/Common.h"
#include "nav/Facility.h"
#include "traffic/TrafficChatter.h"

namespace {

std::mutex gWakeMutex;
std::condition_variable gWake;

std::mutex gStateMutex;
StateOfPlay gStateOfPlay;
std::string gCurrentClipName;

std::atomic<bool> gResetPauseLength{false};

void setCurrentClipName(const std::string& name) {
    std::lock_guard<std::mutex> lock(gStateMutex);
    gCurrentClipName = name;
}

void handOver(WaveData* waveData) {
    gSoundFile.waveData = waveData;
    gSoundFile.playSound = true;
}

// Every 10 ms while the audio is handed over or playing, cut it off when `stop` says so.
template <typename Stop>
void watchPlayback(Stop&& stop) {
    while (gSoundFile.playSound || gSoundFile.isPlaying) {
        if (stop()) gSoundFile.stopRequest = true;
        if (!chatterSleep(10) && !gSoundFile.playSound && !gSoundFile.isPlaying) break;
        if (!playEnabled) break;
    }
}

bool mustDropTraffic() {
    return !canPlay() || !playEnabled || checkForAtisOnOtherRadio() || !gSettings.useTrafficGlobal;
}

void playTrafficGlobal() {
    auto& queue = trafficChatterAudio();
    while (!queue.empty() && canPlay() && playEnabled && gSettings.useTrafficGlobal) {
        TrafficChatter item;
        if (!queue.Consume(item)) break;
        const int frequency = item.pFacility ? item.pFacility->freq : 0;
        if (item.pWaveData && frequency == getCurrentFrequency()) {
            item.pWaveData->volume = gSettings.volume;
            gSoundFile.addStatic = false;
            handOver(item.pWaveData);
            setCurrentClipName("Traffic Global");
            watchPlayback([frequency] {
                return !canPlay() || !playEnabled || checkForAtisOnOtherRadio() || getCurrentFrequency() != frequency;
            });
            setCurrentClipName("");
            resetPause();
        } else {
            freeWaveData(item.pWaveData);
        }
        if (mustDropTraffic()) drainTrafficAudio();
    }
}

void playNextClip() {
    Clip clip = getClipManager().getNextClip(static_cast<Controllers>(getActiveController()));
    if (!clip.m_pPath || gResetPauseLength) return;
    setVolume(gSettings.volume, CLIP_SOURCE);
    setCurrentClipName(clip.getFileName());
    WaveData* waveData = loadWaveData(clip.m_pPath->c_str());
    waveData->volume = gSettings.volume;
    gSoundFile.addStatic = false;
    handOver(waveData);
    if (gSettings.debugOutput)
        loggerQue.Produce(formatC("Clip started: %s %s", getControllerName(getActiveController()),
                                  clip.getFileName().c_str()));
}

void waitPause() {
    int counter = getPauseLength(false);
    for (;;) {
        if (counter-- <= 0 || !playEnabled || !canPlay()) break;
        if (gResetPauseLength.exchange(false)) counter = getPauseLength(true);
        chatterSleep(100);
        if (!trafficChatterAudio().empty()) break;  // a waiting exchange ends the pause at once
    }
}

}  // namespace

bool chatterSleep(int milliseconds) {
    std::unique_lock<std::mutex> lock(gWakeMutex);
    return !gWake.wait_for(lock, scaledDuration(milliseconds), [] { return playEnabled.load() == 0; });
}

void wakeChatter() {
    std::lock_guard<std::mutex> lock(gWakeMutex);
    gWake.notify_all();
}

int getPauseLength(bool max) {
    const int maxDelay = gSettings.maxDelay;
    return (max ? maxDelay : getUniformRandomNumber(gSettings.minDelay, maxDelay)) * 10;
}

void resetPause() { gResetPauseLength = true; }

StateOfPlay getStateOfPlay() {
    std::lock_guard<std::mutex> lock(gStateMutex);
    return gStateOfPlay;
}

std::string getCurrentClipName() {
    std::lock_guard<std::mutex> lock(gStateMutex);
    return gCurrentClipName;
}

bool canPlay() {
    bool playable = gSettings.playChatter;
    if (playable && isExternalPauseSet()) {
        playable = false;
        setFixedCaption("External Pause Dataref is Set");
    }
    if (playable && gSettings.radioPower && !isRadioOn()) {
        playable = false;
        setFixedCaption("No Radio Power - Paused");
    }
    if (playable && gSettings.useAudioPanel && !isRadioMonitored()) {
        playable = false;
        setFixedCaption("Radio not Monitored - Paused");
    }
    if (playable && isAutomaticPause()) playable = false;
    if (playable && isSimPaused()) playable = false;
    if (playable && isExternalView() && gSettings.interiorOnlySound) {
        playable = false;
        setFixedCaption("External Camera Pause");
    }
    if (playable && isSoundPlaying(TTS_SOURCE)) {
        playable = false;
        setFixedCaption("Text to Speech Active");
    }

    if (gSettings.enableExternalIntegrations) {
        const int mode = getIntegrationMode();
        if (mode == INTEGRATION_CONTROL_OFF) {
            playable = false;
            setFixedCaption(formatC("%s ATC Off", getIntegrationPrefix().c_str()).c_str());
        } else if (mode == INTEGRATION_PAUSE) {
            playable = false;
            setFixedCaption(formatC("%s Pause", getIntegrationPrefix().c_str()).c_str());
            resetPause();
        }
    } else if (gSettings.useXPlaneATC && hasXPlaneATCDataRefs()) {
        const XPlaneATCState atc = getXPlaneATCState();
        const bool useCOM1 = gSettings.useCOM1;
        if (useCOM1 ? atc.com1Active : atc.com2Active) {
            playable = false;
            setFixedCaption("Pause for ATC Transmission");
        }
        if (useCOM1 && atc.com1Facility == 0) {
            playable = false;
            setFixedCaption("No Facility Tuned On COM1");
        } else if (!useCOM1 && atc.com2Facility == 0) {
            playable = false;
            setFixedCaption("No Facility Tuned On COM2");
        }
    } else if (gSettings.useSayIntentions) {
        SayIntentions* sayIntentions = SayIntentions::getInstance();
        const bool pause = sayIntentions->getPause();
        const bool hasController = sayIntentions->getController() != 0;
        if (pause || !hasController) {
            playable = false;
            setFixedCaption(hasController ? "SayIntentions.AI Pause" : "SayIntentions.AI No Controller");
            if (pause) resetPause();
        }
    }

    std::lock_guard<std::mutex> lock(gStateMutex);
    std::string status = getFacilityCaption();
    if (playable && !gCurrentClipName.empty()) status += " - " + gCurrentClipName;
    if (status != gStateOfPlay.status && gSettings.debugOutput) loggerQue.Produce("Status: " + status);
    gStateOfPlay.play = playable;
    gStateOfPlay.status = std::move(status);
    return playable;
}

void playChatter() {
    srand(static_cast<unsigned>(time(nullptr)));
    while (playEnabled) {
        playTrafficGlobal();
        evaluateFacility();
        if (!canPlay() || getClipManager().getWorkingClipCount() == 0) {
            for (int tick = 0; tick < 10 && playEnabled; ++tick) chatterSleep(100);
            continue;
        }
        playNextClip();
        watchPlayback([] { return !canPlay() || !playEnabled || checkForAtisOnOtherRadio(); });
        evaluateFacility();
        setCurrentClipName("");
        waitPause();
    }
}
