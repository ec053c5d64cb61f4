#include "Sound.h"

#include "FmodManager.h"
#include "OpenAL.h"
#include "Settings.h"
#include "common/Common.h"
#include "wave.h"

namespace {

bool validChannel(int channel) { return channel >= 0 && channel < MAX_CHATTER_SOUND_SOURCES; }

}  // namespace

std::recursive_mutex& soundLock() {
    static std::recursive_mutex lock;
    return lock;
}

bool startSoundSystem() {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    if (FmodManager::XPSoundIsAvail()) {
        logMsg("Using X-Plane FMOD Sound System");
        return true;
    }
    return openal::start(gSettings.audioDevice);
}

void stopSoundSystem() {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    FmodManager::removeInstance();
    openal::stop();
}

void playSound(const WaveData* waveData, int channel, bool loop) {
    if (!waveData || !validChannel(channel)) return;
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    if (FmodManager::XPSoundIsAvail())
        FmodManager::getInstance()->playSound(waveData, channel, loop);
    else
        openal::play(waveData, channel, loop);
}

void stopPlaying(int channel) {
    if (!validChannel(channel)) return;
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    if (FmodManager::XPSoundIsAvail())
        FmodManager::getInstance()->stopPlaying(channel);
    else
        openal::stopPlaying(channel);
}

bool isSoundPlaying(int channel) {
    if (!validChannel(channel)) return false;
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    return FmodManager::XPSoundIsAvail() ? FmodManager::getInstance()->isSoundPlaying(channel)
                                         : openal::isPlaying(channel);
}

void setVolume(float volume, int channel) {
    if (!validChannel(channel)) return;
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    if (FmodManager::XPSoundIsAvail())
        FmodManager::getInstance()->setVolume(volume, channel);
    else
        openal::setVolume(volume, channel);
}

void addStatic(bool stop) {
    if (stop) {
        stopPlaying(STATIC_SOURCE);
        return;
    }
    WaveData* noise = loadWaveData(makePluginFileName("static.mp3").c_str());
    if (noise->format == 0) {
        sLogMsg("Invalid PCM format in %s", noise->path);
    } else if (!noise->data) {
        sLogMsg("Missing PCM data in %s", noise->path);
    } else {
        noise->volume = gSettings.staticVolume;
        playSound(noise, STATIC_SOURCE, true);
    }
    freeWaveData(noise);
}

std::vector<std::string> getAudioDevices() {
    std::vector<std::string> names{"X-Plane Audio"};
    if (!FmodManager::XPSoundIsAvail()) openal::appendDevices(names);
    return names;
}
