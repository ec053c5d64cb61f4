#include "OpenAL.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <cstring>
#include <mutex>

#include "Sound.h"
#include "common/Common.h"
#include "wave.h"

namespace openal {
namespace {

ALCdevice* gDevice = nullptr;
ALCcontext* gContext = nullptr;
ALuint snd_src[MAX_CHATTER_SOUND_SOURCES] = {};
ALuint snd_buffer[MAX_CHATTER_SOUND_SOURCES] = {};

// Logs a pending OpenAL error with where it was noticed; false when there was one.
bool checkError(int line) {
    const ALenum error = alGetError();
    const char* text = nullptr;
    switch (error) {
        case AL_NO_ERROR: return true;
        case AL_INVALID_NAME: text = "Invalid Name"; break;
        case AL_INVALID_ENUM: text = "Invalid Enum"; break;
        case AL_INVALID_VALUE: text = "Invalid Value"; break;
        case AL_INVALID_OPERATION: text = "Invalid Operation"; break;
        case AL_OUT_OF_MEMORY: text = "Out of memory"; break;
        default: return false;
    }
    sLogMsg("OpenaAL Error: %s (%s:%d)", text, "Sound", line);
    return false;
}
#define CHECK_ERR() checkError(__LINE__)

// Holds the lock and the plug-in's context for one operation.
class ContextScope {
public:
    ContextScope() : m_Lock(soundLock()), m_Previous(alcGetCurrentContext()) {
        if (gContext) alcMakeContextCurrent(gContext);
    }
    ~ContextScope() {
        if (gContext) alcMakeContextCurrent(m_Previous);
    }
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    std::lock_guard<std::recursive_mutex> m_Lock;
    ALCcontext* m_Previous;
};

bool hasSource(int channel) { return channel >= 0 && channel < MAX_CHATTER_SOUND_SOURCES && snd_src[channel]; }

// Opens the named device, or null after logging why not.
ALCdevice* openNamedDevice(const std::string& deviceName) {
    sLogMsg("Trying to open audio device: %s", deviceName.c_str());
    ALCdevice* device = alcOpenDevice(deviceName.c_str());
    if (!device) sLogMsg("Could not open audio device%s, defaulting to X-Plane Audio", deviceName.c_str());
    return device;
}

// Creates and makes current a context on the device; on failure restores
// `previous`, closes the device and logs `failure`.
bool createContext(ALCdevice* device, ALCcontext* previous, const char* failure) {
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context) {
        alcMakeContextCurrent(previous);
        alcCloseDevice(device);
        logMsg(failure);
        return false;
    }
    gDevice = device;
    gContext = context;
    alcMakeContextCurrent(context);
    return true;
}

}  // namespace

bool start(const std::string& deviceName) {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    if (gContext) return true;
    ALCcontext* previous = alcGetCurrentContext();
    ALCdevice* device = iequals(deviceName, "X-Plane Audio") ? nullptr : openNamedDevice(deviceName);
    if (device) {
        if (!createContext(device, previous, "Could not create a context.")) return false;
    } else {
        device = alcOpenDevice(nullptr);
        if (!device) {
            logMsg("Could not open default OpenAL Device");
            return false;
        }
        if (!createContext(device, previous, "Could not create a new context using the default OpenAL device."))
            return false;
        logMsg("Found the default OpenAL Device and created a new context");
    }
    alGetError();
    for (int channel = 0; channel < MAX_CHATTER_SOUND_SOURCES; ++channel) {
        alGenSources(1, &snd_src[channel]);
        CHECK_ERR();
        alGenBuffers(1, &snd_buffer[channel]);
        CHECK_ERR();
        alSourcei(snd_src[channel], AL_BUFFER, static_cast<ALint>(snd_buffer[channel]));
        CHECK_ERR();
    }
    alcMakeContextCurrent(previous);
    return true;
}

void stop() {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    if (!gContext) return;
    ALCcontext* previous = alcGetCurrentContext();
    ALCcontext* restore = previous == gContext ? nullptr : previous;
    alcMakeContextCurrent(gContext);
    for (int channel = 0; channel < MAX_CHATTER_SOUND_SOURCES; ++channel) {
        if (snd_src[channel]) {
            alSourceStop(snd_src[channel]);
            alDeleteSources(1, &snd_src[channel]);
        }
        if (snd_buffer[channel]) alDeleteBuffers(1, &snd_buffer[channel]);
        snd_src[channel] = 0;
        snd_buffer[channel] = 0;
    }
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(gContext);
    alcCloseDevice(gDevice);
    gContext = nullptr;
    gDevice = nullptr;
    alcMakeContextCurrent(restore);
}

void play(const WaveData* waveData, int channel, bool loop) {
    ContextScope scope;
    if (!hasSource(channel)) return;
    const ALuint source = snd_src[channel];
    const int frame = frameBytes(waveData->format);
    // OpenAL takes only whole sample frames.
    const ALsizei size = frame > 0 ? waveData->size / frame * frame : waveData->size;
    alGetError();
    // A buffer cannot be swapped under a playing source: the new sound replaces the old.
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    if (!CHECK_ERR()) sLogMsg("Error playing: %s", waveData->path);
    alBufferData(snd_buffer[channel], waveData->format, waveData->data, size, waveData->frequency);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(snd_buffer[channel]));
    if (!CHECK_ERR()) sLogMsg("Error playing: %s", waveData->path);
    alSourcef(source, AL_PITCH, 1.0f);
    alSourcef(source, AL_GAIN, waveData->volume);
    alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alSourcePlay(source);
    if (!CHECK_ERR()) sLogMsg("Error playing: %s", waveData->path);
}

void stopPlaying(int channel) {
    ContextScope scope;
    if (!isPlaying(channel)) return;
    alSourceStop(snd_src[channel]);
    CHECK_ERR();
}

bool isPlaying(int channel) {
    ContextScope scope;
    if (!hasSource(channel)) return false;
    ALint state = AL_STOPPED;
    alGetSourcei(snd_src[channel], AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

void setVolume(float volume, int channel) {
    ContextScope scope;
    if (!hasSource(channel)) return;
    alSourcef(snd_src[channel], AL_GAIN, volume);
    CHECK_ERR();
}

void appendDevices(std::vector<std::string>& names) {
    std::lock_guard<std::recursive_mutex> lock(soundLock());
    if (!alcIsExtensionPresent(nullptr, "ALC_ENUMERATION_EXT")) return;
    // A run of names, each ended by a zero byte, the run by an empty name.
    const ALCchar* name = alcGetString(nullptr, ALC_ALL_DEVICES_SPECIFIER);
    for (; name && *name; name += strlen(name) + 1)
        if (names.empty() || !iequals(name, names.back())) names.push_back(name);
}

}  // namespace openal
