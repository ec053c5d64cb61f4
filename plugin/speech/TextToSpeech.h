// One queued speech request: synthesised and decoded on a worker thread of
// its own, then played on the speech channel by the simulator thread.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "audio/wave.h"

class TTSBase;

struct WaveDataDeleter {
    void operator()(WaveData* wave) const { freeWaveData(wave); }
};

class TextToSpeech {
public:
    TextToSpeech() = default;
    TextToSpeech(std::string text, int voiceIndex, float delay, bool translateVoiceIndex);
    // Asks a running worker to end its wait, joins it and frees the audio.
    ~TextToSpeech();
    TextToSpeech(const TextToSpeech&) = delete;
    TextToSpeech& operator=(const TextToSpeech&) = delete;

    // Starts the worker, which synthesises the text with voice `ttsIndex` of `service`.
    void loadWave(TTSBase* service, int ttsIndex);
    bool isLoading() const { return loadThread != nullptr; }
    bool isReadyToPlay() const { return loadComplete; }
    // Simulator thread, once ready: joins the worker and plays the audio, if any, on the speech channel.
    void play();
    // The worker's body.
    static void load(TextToSpeech* request);

    std::string text;
    int voiceIndex = -1;              // a speech index when translateVoiceIndex, else a voice index
    float delay = 0.0f;               // seconds from the start of synthesis before it may play
    bool translateVoiceIndex = true;
    std::unique_ptr<WaveData, WaveDataDeleter> waveData;  // written by the worker before loadComplete
    TTSBase* ttsEngine = nullptr;     // not owned
    std::unique_ptr<std::thread> loadThread;
    std::atomic<bool> loadComplete{false};
    std::atomic<bool> stop{false};
    int ttsIndex = 0;
};
