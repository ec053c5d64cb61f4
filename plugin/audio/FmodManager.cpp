#include "FmodManager.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "Sound.h"
#include "common/Guard.h"
#include "host/Xplm.h"
#include "wave.h"

namespace {

FmodManager* gInstance = nullptr;
// Tokens are never reused, so a completion that arrives after its sound was
// given up (or after a restart of the manager) cannot hit a newer sound.
std::atomic<uintptr_t> gNextToken{1};

template <typename F>
bool findSymbol(F& function, const char* name) {
    function = reinterpret_cast<F>(XPLMFindSymbol(name));
    return function != nullptr;
}

void freeSound(FmodActiveSound* sound) {
    free(sound->data);
    delete sound;
}

}  // namespace

FmodManager::FmodManager() {
    // The search stops at the first function the simulator lacks.
    findSymbol(XPLMPlayPCMOnBus, "XPLMPlayPCMOnBus") && findSymbol(XPLMStopAudio, "XPLMStopAudio") &&
        findSymbol(XPLMSetAudioPosition, "XPLMSetAudioPosition") &&
        findSymbol(XPLMSetAudioFadeDistance, "XPLMSetAudioFadeDistance") &&
        findSymbol(XPLMSetAudioVolume, "XPLMSetAudioVolume") && findSymbol(XPLMSetAudioCone, "XPLMSetAudioCone");
}

FmodManager::~FmodManager() {
    std::vector<FMOD_CHANNEL*> playing;
    for (const auto& entry : channels)
        if (entry.second->pChannel) playing.push_back(entry.second->pChannel);
    for (FMOD_CHANNEL* channel : playing) XPLMStopAudio(channel);
    for (const auto& entry : channels) freeSound(entry.second);
    channels.clear();
}

FmodManager* FmodManager::getInstance() {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    if (!gInstance) gInstance = new FmodManager;
    return gInstance;
}

void FmodManager::removeInstance() {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    FmodManager* instance = gInstance;
    gInstance = nullptr;
    delete instance;
}

bool FmodManager::XPSoundIsAvail() {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    return getInstance()->available();
}

bool FmodManager::available() const {
    return XPLMPlayPCMOnBus && XPLMStopAudio && XPLMSetAudioPosition && XPLMSetAudioFadeDistance &&
           XPLMSetAudioVolume && XPLMSetAudioCone;
}

void FmodManager::playSound(const WaveData* waveData, int channel, bool loop) {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    if (!available() || channels.count(channel)) return;
    // Only whole sample frames go to the engine.
    const int frame = frameBytes(waveData->format);
    const uint32_t size = frame > 0 && waveData->size > 0 ? uint32_t(waveData->size) / frame * frame : 0;
    if (size == 0 || !waveData->data) return;
    if (waveData->format == FORMAT_MONO8 || waveData->format == FORMAT_STEREO8) {
        sLogMsg("ERROR: The audio file is not 16 bit audio and is not supported by the X-Plane FMOD sound system: %s",
                waveData->path);
        return;
    }
    auto* sound = new FmodActiveSound;
    sound->source = channel;
    sound->token = gNextToken++;
    sound->data = static_cast<unsigned char*>(malloc(size));
    if (!sound->data) {
        sLogMsg("ERROR: Unexpected problem playing the audio file: %s", waveData->path);
        delete sound;
        return;
    }
    memcpy(sound->data, waveData->data, size);
    // Registered before the call: the channel reads as playing from now on,
    // and a completion reported during the call finds its sound.
    channels[channel] = sound;
    const uintptr_t token = sound->token;
    FMOD_CHANNEL* handle =
        XPLMPlayPCMOnBus(sound->data, size, FMOD_SOUND_FORMAT_PCM16, waveData->frequency,
                         waveData->format == FORMAT_STEREO16 ? 2 : 1, loop ? 1 : 0, xplm_AudioRadioCom1, completion,
                         reinterpret_cast<void*>(token));
    auto entry = channels.find(channel);
    const bool stillOurs = entry != channels.end() && entry->second->token == token;
    if (!handle) {
        sLogMsg("ERROR: Unexpected problem playing the audio file: %s", waveData->path);
        if (stillOurs) forget(channel);
        return;
    }
    if (!stillOurs) return;  // already over
    sound->pChannel = handle;
    XPLMSetAudioVolume(handle, waveData->volume);
}

void FmodManager::stopPlaying(int channel) {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    auto entry = channels.find(channel);
    // The entry goes when the simulator reports the sound complete.
    if (entry != channels.end() && entry->second->pChannel) XPLMStopAudio(entry->second->pChannel);
}

bool FmodManager::isSoundPlaying(int channel) {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    return channels.count(channel) != 0;
}

void FmodManager::setVolume(float volume, int channel) {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    auto entry = channels.find(channel);
    if (entry != channels.end() && entry->second->pChannel) XPLMSetAudioVolume(entry->second->pChannel, volume);
}

void FmodManager::forget(int channel) {
    auto entry = channels.find(channel);
    if (entry == channels.end()) return;
    freeSound(entry->second);
    channels.erase(entry);
}

void FmodManager::completion(void* refcon, FMOD_RESULT) {
    guardedVoid("sound completion", [refcon] {
        std::lock_guard<std::recursive_mutex> lock(soundLock());
        if (!gInstance) return;
        const auto token = reinterpret_cast<uintptr_t>(refcon);
        for (const auto& entry : gInstance->channels) {
            if (entry.second->token == token) {
                gInstance->forget(entry.first);
                return;
            }
        }
    });
}
