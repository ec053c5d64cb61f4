// The simulator's sound bus. Every sound is mixed, in simulator time, into one
// mono recording ("radio.wav" in the output folder) at its volume; a sound
// ends after its duration or when stopped, and its completion callback then
// runs on the main thread at the end of that frame's sound update. Each event
// is also listed in "sound-events.txt". --no-sound-bus hides the functions,
// as an older simulator would.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "Sim.h"
#include "host/XplmSound.h"

namespace sim {
namespace {

constexpr int kOutputRate = 44100;
constexpr FMOD_RESULT kErrFormat = 25;
constexpr FMOD_RESULT kErrInvalidHandle = 30;

struct Sound {
    int id;
    std::vector<int16_t> pcm;  // interleaved
    int channels;
    int rate;
    bool loop;
    int bus;
    float volume = 1.0f;
    XPLMPCMComplete_f done;
    void* refcon;
    double position = 0;  // in source frames
    size_t frames() const { return pcm.size() / static_cast<size_t>(channels); }
};

std::vector<std::unique_ptr<Sound>> gPlaying;
std::vector<std::pair<XPLMPCMComplete_f, std::pair<void*, FMOD_RESULT>>> gCompletions;
std::vector<int32_t> gMix;
int gNextId = 1;

void event(const char* format, ...) __attribute__((format(printf, 1, 2)));
void event(const char* format, ...) {
    const Sim& sim = Sim::get();
    if (sim.outputFolder.empty()) return;
    if (FILE* file = fopen((sim.outputFolder + "sound-events.txt").c_str(), "a")) {
        fprintf(file, "%.3f ", sim.simTime);
        va_list args;
        va_start(args, format);
        vfprintf(file, format, args);
        va_end(args);
        fputc('\n', file);
        fclose(file);
    }
}

Sound* find(FMOD_CHANNEL* channel) {
    for (auto& sound : gPlaying)
        if (sound.get() == channel) return sound.get();
    return nullptr;
}

void finish(Sound* sound, FMOD_RESULT status, const char* why) {
    event("%s id=%d", why, sound->id);
    gCompletions.push_back({sound->done, {sound->refcon, status}});
    gPlaying.erase(std::remove_if(gPlaying.begin(), gPlaying.end(), [&](const auto& s) { return s.get() == sound; }),
                   gPlaying.end());
}

// Mixes the sounds over the frame that starts now.
void mixFrame() {
    const Sim& sim = Sim::get();
    const size_t start = gMix.size();
    const size_t end = static_cast<size_t>(llround((sim.simTime + sim.frameSeconds()) * kOutputRate));
    if (end > start) gMix.resize(end, 0);
    std::vector<Sound*> ended;
    for (auto& owned : gPlaying) {
        Sound* sound = owned.get();
        const double step = static_cast<double>(sound->rate) / kOutputRate;
        const size_t frames = sound->frames();
        for (size_t i = start; i < end; ++i) {
            if (sound->position >= static_cast<double>(frames)) {
                if (!sound->loop || frames == 0) {
                    ended.push_back(sound);
                    break;
                }
                sound->position = fmod(sound->position, static_cast<double>(frames));
            }
            const size_t frame = static_cast<size_t>(sound->position);
            int32_t sum = 0;
            for (int c = 0; c < sound->channels; ++c) sum += sound->pcm[frame * static_cast<size_t>(sound->channels) + static_cast<size_t>(c)];
            gMix[i] += static_cast<int32_t>(lround(sum / sound->channels * sound->volume));
            sound->position += step;
        }
        if (!sound->loop && sound->position >= static_cast<double>(frames) &&
            std::find(ended.begin(), ended.end(), sound) == ended.end())
            ended.push_back(sound);
    }
    for (Sound* sound : ended) finish(sound, FMOD_OK, "end");
    auto completions = std::move(gCompletions);
    gCompletions.clear();
    for (auto& completion : completions)
        if (completion.first) completion.first(completion.second.first, completion.second.second);
}

void writeRecording() {
    const Sim& sim = Sim::get();
    if (sim.outputFolder.empty()) return;
    FILE* file = fopen((sim.outputFolder + "radio.wav").c_str(), "wb");
    if (!file) return;
    const uint32_t dataBytes = static_cast<uint32_t>(gMix.size() * 2);
    auto u32 = [&](uint32_t v) { fwrite(&v, 4, 1, file); };
    auto u16 = [&](uint16_t v) { fwrite(&v, 2, 1, file); };
    fwrite("RIFF", 1, 4, file);
    u32(36 + dataBytes);
    fwrite("WAVEfmt ", 1, 8, file);
    u32(16);
    u16(1);
    u16(1);
    u32(kOutputRate);
    u32(kOutputRate * 2);
    u16(2);
    u16(16);
    fwrite("data", 1, 4, file);
    u32(dataBytes);
    for (int32_t sample : gMix) {
        int16_t clipped = static_cast<int16_t>(std::max(-32768, std::min(32767, sample)));
        fwrite(&clipped, 2, 1, file);
    }
    fclose(file);
}

FMOD_CHANNEL* playPCMOnBus(void* audioBuffer, uint32_t bufferSize, FMOD_SOUND_FORMAT soundFormat, int freqHz,
                           int numChannels, int loop, XPLMAudioBus audioType, XPLMPCMComplete_f callback,
                           void* refcon) {
    if (!audioBuffer || freqHz <= 0 || numChannels <= 0 || numChannels > 8 || audioType < 0 ||
        audioType >= xplm_Master || (soundFormat != FMOD_SOUND_FORMAT_PCM16 && soundFormat != FMOD_SOUND_FORMAT_PCM8)) {
        event("refused format=%d rate=%d channels=%d bus=%d", soundFormat, freqHz, numChannels, audioType);
        if (callback) gCompletions.push_back({callback, {refcon, kErrFormat}});
        return nullptr;
    }
    auto sound = std::make_unique<Sound>();
    sound->id = gNextId++;
    sound->channels = numChannels;
    sound->rate = freqHz;
    sound->loop = loop != 0;
    sound->bus = audioType;
    sound->done = callback;
    sound->refcon = refcon;
    if (soundFormat == FMOD_SOUND_FORMAT_PCM16) {
        sound->pcm.resize(bufferSize / 2);
        memcpy(sound->pcm.data(), audioBuffer, sound->pcm.size() * 2);
    } else {
        const auto* bytes = static_cast<const uint8_t*>(audioBuffer);
        sound->pcm.resize(bufferSize);
        for (uint32_t i = 0; i < bufferSize; ++i) sound->pcm[i] = static_cast<int16_t>((bytes[i] - 128) << 8);
    }
    sound->pcm.resize(sound->frames() * static_cast<size_t>(numChannels));
    event("play id=%d bus=%d rate=%d channels=%d frames=%zu loop=%d bits=%d", sound->id, audioType, freqHz,
          numChannels, sound->frames(), sound->loop ? 1 : 0, soundFormat == FMOD_SOUND_FORMAT_PCM16 ? 16 : 8);
    gPlaying.push_back(std::move(sound));
    return gPlaying.back().get();
}

FMOD_RESULT stopAudio(FMOD_CHANNEL* channel) {
    Sound* sound = find(channel);
    if (!sound) return kErrInvalidHandle;
    finish(sound, FMOD_OK, "stop");
    return FMOD_OK;
}

FMOD_RESULT setAudioVolume(FMOD_CHANNEL* channel, float volume) {
    Sound* sound = find(channel);
    if (!sound) return kErrInvalidHandle;
    sound->volume = std::max(0.0f, volume);
    event("volume id=%d %.3f", sound->id, sound->volume);
    return FMOD_OK;
}

FMOD_RESULT setAudioPosition(FMOD_CHANNEL* channel, FMOD_VECTOR*, FMOD_VECTOR*) {
    return find(channel) ? FMOD_OK : kErrInvalidHandle;
}

FMOD_RESULT setAudioFadeDistance(FMOD_CHANNEL* channel, float, float) {
    return find(channel) ? FMOD_OK : kErrInvalidHandle;
}

FMOD_RESULT setAudioCone(FMOD_CHANNEL* channel, float, float, float, FMOD_VECTOR*) {
    return find(channel) ? FMOD_OK : kErrInvalidHandle;
}

Registrar registrar([] {
    registerOption({"--no-sound-bus", "", "hide the sound bus, as simulators before 12.04 do",
                    [](const std::string&) { Sim::get().flags["no-sound-bus"] = "1"; }});
    registerStartHook([] {
        if (Sim::get().flag("no-sound-bus")) return;
        registerSymbol("XPLMPlayPCMOnBus", reinterpret_cast<void*>(&playPCMOnBus));
        registerSymbol("XPLMStopAudio", reinterpret_cast<void*>(&stopAudio));
        registerSymbol("XPLMSetAudioPosition", reinterpret_cast<void*>(&setAudioPosition));
        registerSymbol("XPLMSetAudioFadeDistance", reinterpret_cast<void*>(&setAudioFadeDistance));
        registerSymbol("XPLMSetAudioVolume", reinterpret_cast<void*>(&setAudioVolume));
        registerSymbol("XPLMSetAudioCone", reinterpret_cast<void*>(&setAudioCone));
    });
    registerFrameHook(80, mixFrame);
    registerEndHook(writeRecording);
});

// Type checks: the functions handed out must match the pointer types plug-ins use.
[[maybe_unused]] XPLMPlayPCMOnBus_f kPlay = &playPCMOnBus;
[[maybe_unused]] XPLMStopAudio_f kStop = &stopAudio;
[[maybe_unused]] XPLMSetAudioPosition_f kPosition = &setAudioPosition;
[[maybe_unused]] XPLMSetAudioFadeDistance_f kFade = &setAudioFadeDistance;
[[maybe_unused]] XPLMSetAudioVolume_f kVolume = &setAudioVolume;
[[maybe_unused]] XPLMSetAudioCone_f kCone = &setAudioCone;

}  // namespace

void resetSoundBus() {
    gPlaying.clear();
    gCompletions.clear();
    gMix.assign(static_cast<size_t>(llround(Sim::get().simTime * kOutputRate)), 0);
    gNextId = 1;
}

}  // namespace sim
