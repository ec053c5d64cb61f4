// Text spoken through the real plug-in: a cockpit script sets the text, the
// voice and the delay, fires the command, and the stand-in VoiceRSS server's
// MP3 is heard on the speech channel in simhost's recording.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "SimRun.h"
#include "StandInServer.h"

namespace {

struct SoundEvent {
    double time;
    std::string text;
};

std::vector<SoundEvent> soundEvents(const SimRun& run) {
    std::vector<SoundEvent> events;
    std::stringstream file(SimRun::readFile(run.output + "sound-events.txt"));
    double time;
    std::string text;
    while (file >> time && std::getline(file, text)) events.push_back({time, text.substr(1)});
    return events;
}

// Root-mean-square level of the recording (44.1 kHz mono, 16 bit) between two times.
double level(const std::string& wav, double from, double to) {
    const size_t first = 44 + 2 * static_cast<size_t>(from * 44100), last = 44 + 2 * static_cast<size_t>(to * 44100);
    double sum = 0;
    size_t count = 0;
    for (size_t at = first; at + 1 < std::min(last, wav.size()); at += 2, ++count) {
        const int16_t sample = static_cast<int16_t>(static_cast<uint8_t>(wav[at]) | (static_cast<uint8_t>(wav[at + 1]) << 8));
        sum += static_cast<double>(sample) * sample;
    }
    return count ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

TEST(Speech, QueuedTextIsHeardOnTheSpeechChannelAfterItsDelay) {
    StandInServer server([](const httplib::Request& request, httplib::Response& response) {
        if (request.get_param_value("key") == "rss-key" && request.get_param_value("v") == "Zoe")
            answerWith(response, 200, toneMp3(), "audio/mpeg");
        else
            answerWith(response, 200, "ERROR: The API key is not available!", "text/plain");
    });
    ASSERT_FALSE(toneMp3().empty());
    SimRun run;
    std::ofstream(run.plugin + "Quillon.ini") << "VOICE_RSS_API_KEY rss-key\nVOICE_VOLUME 0.5\n";
    setenv("QUILLON_VOICERSS_URL", server.url().c_str(), 1);
    const int status = run.run(R"(end 5.0
at 0.5 set Orvan/Quillon/tts_txt "Flight 7, cleared to land runway 27"
at 0.5 set Orvan/Quillon/tts_voice_index -1
at 0.5 set Orvan/Quillon/tts_play_delay_seconds 2
at 0.5 set Orvan/Quillon/tts_play_delay_seconds 61
at 0.6 expect-dataref Orvan/Quillon/tts_play_delay_seconds == 2
at 0.6 expect-dataref Orvan/Quillon/tts_voice_description == "English (Australia) - Zoe"
at 0.6 expect-dataref Orvan/Quillon/tts_play_status == 0
at 1.0 command Orvan/Quillon/Queue_Text_To_Speech
at 1.0 expect-dataref Orvan/Quillon/tts_play_status == 1
at 2.5 expect-dataref Orvan/Quillon/tts_play_status == 1
at 4.0 expect-dataref Orvan/Quillon/tts_play_status == 0
at 4.2 set Orvan/Quillon/tts_voice_index -2
at 4.2 command Orvan/Quillon/Queue_Text_To_Speech
expect-log "ERROR: The crew type, Copilot, has not been assigned to a voice"
expect-log "ERROR: The requested voice index, -2, is invalid"
expect-no-log "VoiceRSS"
)");
    unsetenv("QUILLON_VOICERSS_URL");
    ASSERT_EQ(status, 0) << run.stdoutText << run.log();

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].param("src"), "Flight 7, cleared to land runway 27");
    EXPECT_EQ(requests[0].param("hl"), "en-au");

    // One sound: the spoken MP3 at the speech volume, two seconds after it was queued.
    std::vector<SoundEvent> plays, volumes;
    for (const auto& event : soundEvents(run)) {
        if (event.text.rfind("play ", 0) == 0) plays.push_back(event);
        if (event.text.rfind("volume ", 0) == 0) volumes.push_back(event);
    }
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_NE(plays[0].text.find("rate=22050 channels=1"), std::string::npos) << plays[0].text;
    EXPECT_GE(plays[0].time, 2.95);
    EXPECT_LE(plays[0].time, 3.5);
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].text, "volume id=1 0.500");

    const std::string wav = SimRun::readFile(run.output + "radio.wav");
    EXPECT_EQ(level(wav, 0.0, plays[0].time), 0.0);
    EXPECT_GT(level(wav, plays[0].time, plays[0].time + 0.5), 1000.0);
    EXPECT_FALSE(std::filesystem::exists(run.plugin + "tts.mp3"));
}

}  // namespace
