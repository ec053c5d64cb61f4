// The speech queue's step runs every frame: with nothing queued, and while a
// request is being synthesised on its worker, beside a single check of the
// speech channel.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "Sim.h"
#include "audio/Sound.h"
#include "common/Common.h"
#include "speech/VoiceManager.h"

namespace {

// A service that never answers before it is told to.
class SilentService : public TTSBase {
public:
    SilentService() {
        enabled = true;
        Voice voice;
        voice.m_Name = "Silent";
        voice.pTTSEngine = this;
        m_Voices.push_back(voice);
    }
    bool createWaveFile(const std::string&, int, const std::string&) override { return false; }
    std::string getServiceName() const override { return "Silent"; }
};

std::unique_ptr<VoiceManager> silentManager() {
    sim::useScratchHost("quillon-bench");
    initCommon("Quillon");
    setenv("PATH", "/usr/bin:/bin", 1);  // no AWS tool to ask for voices
    auto manager = std::make_unique<VoiceManager>();
    manager->services.clear();
    manager->services.push_back(std::make_unique<SilentService>());
    manager->refreshVoices();
    return manager;
}

}  // namespace

static void BM_SpeechQueueStep_Empty(benchmark::State& state) {
    auto manager = silentManager();
    for (auto _ : state) manager->processTextToSpeech();
}
BENCHMARK(BM_SpeechQueueStep_Empty);

static void BM_SpeechQueueStep_WhileSynthesising(benchmark::State& state) {
    auto manager = silentManager();
    manager->addSpeech("Cabin crew, prepare for landing", -1, 3600.0f, true);
    manager->processTextToSpeech();  // starts the worker, which then waits out the delay
    for (auto _ : state) manager->processTextToSpeech();
    state.counters["still queued"] = manager->hasQueuedSpeech() ? 1 : 0;
}
BENCHMARK(BM_SpeechQueueStep_WhileSynthesising);

static void BM_Reference_SpeechChannelCheck(benchmark::State& state) {
    auto manager = silentManager();
    for (auto _ : state) benchmark::DoNotOptimize(isSoundPlaying(TTS_SOURCE));
}
BENCHMARK(BM_Reference_SpeechChannelCheck);
