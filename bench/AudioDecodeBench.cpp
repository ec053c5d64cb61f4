// Decoding a 60-second clip, WAV and MP3, next to the command-line decoders
// on the same files: Debian's mpg123 for the MP3 (the same decoding library,
// writing raw samples) and sox for the WAV, which mpg123 cannot read. Wall
// time, since the references run as child processes.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "audio/wave.h"

namespace {

struct Clips {
    std::string wav, mp3;
    Clips() {
        const std::string folder =
            std::filesystem::temp_directory_path().string() + "/quillon-bench-" + std::to_string(getpid()) + "/";
        std::filesystem::create_directories(folder);
        wav = folder + "minute.wav";
        mp3 = folder + "minute.mp3";
        // Noise under a tone: as hard on the encoder as speech over static.
        const std::string make = "sox -R -n -r 44100 -c 2 -b 16 " + wav +
                                 " synth 60 pinknoise synth 60 sine mix 440 vol 0.5 && lame --quiet -b 128 " + wav +
                                 " " + mp3;
        if (system(make.c_str()) != 0) fprintf(stderr, "could not make the benchmark clips\n");
    }
    ~Clips() { std::filesystem::remove_all(std::filesystem::path(wav).parent_path()); }
};

const Clips& clips() {
    static const Clips made;
    return made;
}

void decode(benchmark::State& state, const std::string& path) {
    int64_t bytes = 0;
    for (auto _ : state) {
        WaveData* wave = loadWaveData(path.c_str());
        if (!wave->data) state.SkipWithError("decoding failed");
        bytes += wave->size;
        freeWaveData(wave);
    }
    state.SetBytesProcessed(bytes);
}

void runCommand(benchmark::State& state, const std::string& command) {
    for (auto _ : state)
        if (system(command.c_str()) != 0) state.SkipWithError(command.c_str());
}

void BM_DecodeMp3Minute(benchmark::State& state) { decode(state, clips().mp3); }
void BM_Reference_Mpg123CommandMp3Minute(benchmark::State& state) {
    runCommand(state, "mpg123 -q -s " + clips().mp3 + " > /dev/null");
}
void BM_DecodeWavMinute(benchmark::State& state) { decode(state, clips().wav); }
void BM_Reference_SoxCommandWavMinute(benchmark::State& state) {
    runCommand(state, "sox -q " + clips().wav + " -t raw /dev/null");
}

}  // namespace

BENCHMARK(BM_DecodeMp3Minute)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Reference_Mpg123CommandMp3Minute)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeWavMinute)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Reference_SoxCommandWavMinute)->Unit(benchmark::kMillisecond)->UseRealTime();
