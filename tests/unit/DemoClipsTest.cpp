// The demo chatter collection the build generates: every clip decodes with
// the plug-in's own decoders into a mono voice-band sound of a few seconds.
#include <gtest/gtest.h>

#include <filesystem>

#include "audio/wave.h"

namespace {

TEST(DemoClipFiles, EveryClipDecodes) {
    int mp3 = 0, wav = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(PLUGIN_DIR)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".mp3" && extension != ".wav") continue;
        if (entry.path().filename() == "static.mp3") continue;
        ++(extension == ".mp3" ? mp3 : wav);
        WaveData* clip = loadWaveData(entry.path().c_str());
        ASSERT_NE(clip->data, nullptr) << entry.path();
        EXPECT_EQ(clip->format, FORMAT_MONO16) << entry.path();
        const double seconds = clip->size / 2.0 / clip->frequency;
        EXPECT_GT(seconds, 1.5) << entry.path();
        EXPECT_LT(seconds, 15.0) << entry.path();
        freeWaveData(clip);
    }
    EXPECT_GE(mp3, 60);
    EXPECT_GE(wav, 3);
}

}  // namespace
