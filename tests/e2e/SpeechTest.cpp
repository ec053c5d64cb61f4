// Text spoken through the real plug-in: a cockpit script sets the text, the
// voice and the delay, fires the command, and the stand-in VoiceRSS server's
// MP3 is heard on the speech channel in simhost's recording.
#include <cstdlib>

#include "SimRun.h"
#include "StandInServer.h"

namespace {

// The speech is the one sound at the voice volume of these tests.
const BusSound* speech(const std::vector<BusSound>& list) {
    for (const auto& sound : list)
        if (sound.volume == 0.5f) return &sound;
    return nullptr;
}

// A VoiceRSS stand-in that speaks `audio` with voice Zoe for the key "rss-key".
StandInServer voiceRss(const std::string& audio) {
    return StandInServer([audio](const httplib::Request& request, httplib::Response& response) {
        if (request.get_param_value("key") == "rss-key" && request.get_param_value("v") == "Zoe")
            answerWith(response, 200, audio, "audio/mpeg");
        else
            answerWith(response, 200, "ERROR: The API key is not available!", "text/plain");
    });
}

// Runs simhost with the plug-in's speech going to `server`.
int runWithSpeech(SimRun& run, const StandInServer& server, const std::string& settings, const std::string& scenario,
                  const std::vector<std::string>& options = {}) {
    std::ofstream(run.plugin + "Quillon.ini") << "VOICE_RSS_API_KEY rss-key\nVOICE_VOLUME 0.5\n" << settings;
    setenv("QUILLON_VOICERSS_URL", server.url().c_str(), 1);
    const int status = run.run(scenario, options);
    unsetenv("QUILLON_VOICERSS_URL");
    return status;
}

TEST(Speech, QueuedTextIsHeardOnTheSpeechChannelAfterItsDelay) {
    ASSERT_FALSE(toneMp3().empty());
    const StandInServer server = voiceRss(toneMp3());
    SimRun run;
    ASSERT_EQ(runWithSpeech(run, server, "", R"(end 5.0
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
)"),
              0)
        << run.stdoutText << run.log();

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].param("src"), "Flight 7, cleared to land runway 27");
    EXPECT_EQ(requests[0].param("hl"), "en-au");

    // One sound: the spoken MP3 at the voice volume, two seconds after it was queued.
    const auto heard = run.sounds();
    ASSERT_EQ(heard.size(), 1u);
    const BusSound* spoken = speech(heard);
    ASSERT_NE(spoken, nullptr) << heard[0].play;
    EXPECT_NE(spoken->play.find("rate=22050 channels=1"), std::string::npos) << spoken->play;
    EXPECT_GE(spoken->start, 2.95);
    EXPECT_LE(spoken->start, 3.5);
    EXPECT_EQ(run.recordingLevel(0.0, spoken->start), 0.0);
    EXPECT_GT(run.recordingLevel(spoken->start, spoken->end), 1000.0);
    EXPECT_FALSE(std::filesystem::exists(run.plugin + "tts.mp3"));
}

// Chatter over the demo world: while speech is heard no clip starts, and the
// control panel's status says why.
TEST(Speech, ChatterPausesWhileSpeechIsHeard) {
    const std::string announcement = makeToneMp3(3000);
    ASSERT_FALSE(announcement.empty());
    const StandInServer server = voiceRss(announcement);
    SimRun run;
    run.installWorld();
    ASSERT_EQ(runWithSpeech(run, server,
                            "DEBUG_OUTPUT 1\nAUTOMATIC_CONTROLLERS 1\nAUTO_SELECT_REGION_AND_COUNTRY 1\n"
                            "MINIMUM_DELAY 1\nMAXIMUM_DELAY 1\n",
                            R"(end 14
set sim/cockpit2/radios/actuators/com1_frequency_hz_833 121900
at 6 set Orvan/Quillon/tts_txt "Cabin crew, prepare for landing"
at 6 command Orvan/Quillon/Queue_Text_To_Speech
expect-log "Clip started" before 6
expect-log "Status: Text to Speech Active"
)",
                            {"--speed", "2"}),
              0)
        << run.stdoutText;
    const auto heard = run.sounds();
    const BusSound* spoken = speech(heard);
    ASSERT_NE(spoken, nullptr) << SimRun::readFile(run.output + "sound-events.txt");
    int clipsAfter = 0;
    for (const auto& sound : heard) {
        if (&sound == spoken) continue;
        EXPECT_FALSE(sound.start >= spoken->start && sound.start < spoken->end) << sound.play;
        // A clip on the air when the speech began was cut off.
        if (sound.start < spoken->start && (sound.end < 0 || sound.end > spoken->start)) {
            EXPECT_LT(sound.end, spoken->start + 0.1) << sound.play;
        }
        clipsAfter += sound.start >= spoken->end ? 1 : 0;
    }
    EXPECT_GT(clipsAfter, 0);  // and chatter goes on afterwards
}

}  // namespace
