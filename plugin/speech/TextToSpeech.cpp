#include "TextToSpeech.h"

#include <cstdio>
#include <utility>

#include "Settings.h"
#include "TTSBase.h"
#include "audio/Sound.h"
#include "common/Guard.h"

TextToSpeech::TextToSpeech(std::string text, int voiceIndex, float delay, bool translateVoiceIndex)
    : text(std::move(text)), voiceIndex(voiceIndex), delay(delay), translateVoiceIndex(translateVoiceIndex) {}

TextToSpeech::~TextToSpeech() {
    if (!loadThread) return;
    stop = true;
    loadThread->join();
}

void TextToSpeech::loadWave(TTSBase* service, int index) {
    ttsEngine = service;
    ttsIndex = index;
    loadComplete = false;
    loadThread = std::make_unique<std::thread>(load, this);
}

void TextToSpeech::load(TextToSpeech* request) {
    setThreadName("QuillonSpeech");
    const int64_t start = getElapsedMilliSeconds() + static_cast<int64_t>(1000.0f * request->delay);
    guardedVoid("speech synthesis", [request] {
        const std::string file = makePluginFileName(request->ttsEngine->usesWAV() ? "tts.wav" : "tts.mp3");
        if (request->ttsEngine->createWaveFile(file, request->ttsIndex, request->text)) {
            std::unique_ptr<WaveData, WaveDataDeleter> wave(loadWaveData(file.c_str()));
            if (wave->data && wave->format != 0) request->waveData = std::move(wave);
        }
        std::remove(file.c_str());
    });
    while (getElapsedMilliSeconds() < start && !request->stop) std::this_thread::sleep_for(scaledDuration(10));
    request->loadComplete = true;
}

void TextToSpeech::play() {
    if (loadThread) {
        loadThread->join();
        loadThread.reset();
    }
    if (!waveData) return;
    waveData->volume = gSettings.sapiVolume;
    playSound(waveData.get(), TTS_SOURCE, false);
    waveData.reset();
}
