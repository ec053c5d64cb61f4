#include <sys/stat.h>

#include "SpeechStandIns.h"
#include "speech/AmazonPollyManager.h"

namespace {

// A fake AWS tool: records every argument in a file of its own, prints
// voices.json for describe-voices and copies reply.mp3 to the output file for
// synthesize-speech; "status" and "sleep" files change how it behaves.
const char* const FAKE_AWS = R"sh(#!/bin/sh
dir="$FAKE_AWS_DIR"
i=0
for arg in "$@"; do
    printf '%s' "$arg" > "$dir/arg$i"
    i=$((i + 1))
done
printf '%s' "$#" > "$dir/argc"
[ -f "$dir/sleep" ] && sleep "$(cat "$dir/sleep")"
case "$2" in
    describe-voices) cat "$dir/voices.json" ;;
    synthesize-speech)
        for last; do :; done
        [ -f "$dir/reply.mp3" ] && cp "$dir/reply.mp3" "$last"
        printf '{\n  "ContentType": "audio/mpeg",\r\n  "RequestCharacters": "5"\n}\n' ;;
esac
exit "$(cat "$dir/status" 2>/dev/null || echo 0)"
)sh";

// What the fake tool prints for synthesize-speech, line breaks turned into spaces.
const std::string TOOL_REPLY = "{   \"ContentType\": \"audio/mpeg\",    \"RequestCharacters\": \"5\" } ";

// No known places: the tool is looked up on the search path.
const std::vector<std::string> SEARCH_PATH_ONLY;

const char* const VOICES = R"({
    "Voices": [
        {"Gender": "Female", "Id": "Joanna", "LanguageCode": "en-US", "LanguageName": "US English",
         "Name": "Joanna", "SupportedEngines": ["neural", "standard"]},
        {"Gender": "Female", "Id": "Celine", "LanguageCode": "fr-FR", "LanguageName": "French",
         "Name": "C)" "\xc3\xa9" R"(line", "SupportedEngines": ["standard"]},
        {"Gender": "Male", "Id": "Nobody", "LanguageName": "Nowhere", "Name": "Nobody",
         "SupportedEngines": ["standard"]}
    ]
})";

class AmazonPolly : public SpeechTest {
protected:
    void SetUp() override {
        SpeechTest::SetUp();
        toolDir = simFolder + "fake-aws/";
        binDir = simFolder + "bin/";
        std::filesystem::create_directories(toolDir);
        std::filesystem::create_directories(binDir);
        tool = binDir + "aws";
        writeBytes(tool, FAKE_AWS);
        chmod(tool.c_str(), 0755);
        writeBytes(toolDir + "voices.json", VOICES);
        writeBytes(toolDir + "reply.mp3", toneMp3());
        fakeDir = std::make_unique<ScopedEnv>("FAKE_AWS_DIR", toolDir);
        path = std::make_unique<ScopedEnv>("PATH", binDir + ":/usr/bin:/bin");
    }
    void TearDown() override {
        path.reset();
        fakeDir.reset();
        SpeechTest::TearDown();
    }

    std::vector<std::string> toolArguments() const {
        std::vector<std::string> args;
        int count = std::stoi(readBytes(toolDir + "argc"));
        for (int i = 0; i < count; ++i) args.push_back(readBytes(toolDir + "arg" + std::to_string(i)));
        return args;
    }

    std::string toolDir, binDir, tool;
    std::unique_ptr<ScopedEnv> fakeDir, path;
};

TEST_F(AmazonPolly, VoicesAreEnumeratedOnePerEngine) {
    AmazonPollyManager polly(SEARCH_PATH_ONLY);
    EXPECT_EQ(polly.awsCommand, "aws");
    EXPECT_TRUE(logged("Unable to find AWS in either /usr/local/bin or /usr/bin"));
    EXPECT_EQ(toolArguments(), (std::vector<std::string>{"polly", "describe-voices"}));

    ASSERT_EQ(polly.m_Voices.size(), 3u);
    const struct {
        const char* name;
        const char* id;
        const char* engine;
        const char* language;
    } expected[] = {
        {"Amazon Polly - US English - Joanna - (neural)", "Joanna", "neural", "US English"},
        {"Amazon Polly - US English - Joanna - (standard)", "Joanna", "standard", "US English"},
        {"Amazon Polly - French - C  line - (standard)", "Celine", "standard", "French"},  // ASCII only
    };
    for (int i = 0; i < 3; ++i) {
        const Voice& voice = polly.m_Voices[static_cast<size_t>(i)];
        EXPECT_EQ(voice.m_Name, expected[i].name);
        EXPECT_EQ(voice.id, expected[i].id);
        EXPECT_EQ(voice.engine, expected[i].engine);
        EXPECT_EQ(voice.language, expected[i].language);
        EXPECT_EQ(voice.language_code, "");
        EXPECT_EQ(voice.ttsIndex, i);
        EXPECT_EQ(voice.pTTSEngine, &polly);
    }
    std::string status;
    EXPECT_EQ(polly.getStatus(status), TTS_STATUS_SUCCESS);
    EXPECT_EQ(status, "3 voices are available");
    EXPECT_TRUE(polly.isEnabled());
    EXPECT_FALSE(polly.usesKey);
    EXPECT_FALSE(polly.toJson().contains("ApiKey"));
}

TEST_F(AmazonPolly, AToolInAKnownPlaceIsUsedFirst) {
    AmazonPollyManager polly({simFolder + "nowhere/aws", tool});
    EXPECT_EQ(polly.awsCommand, tool);
    EXPECT_FALSE(logged("Unable to find AWS in either /usr/local/bin or /usr/bin"));
    EXPECT_EQ(polly.m_Voices.size(), 3u);
}

TEST_F(AmazonPolly, FailedEnumerationKeepsTheServiceEnabledWithTheToolsAnswer) {
    const struct {
        const char* name;
        std::string output;
        std::string flattened;
    } cases[] = {
        {"no credentials", "\nUnable to locate credentials.\r\n", " Unable to locate credentials.  "},
        {"voices not a list", R"({"Voices": {"Id": "Joanna"}})", R"({"Voices": {"Id": "Joanna"}})"},
        {"broken json", "{\"Voices\": [\n", "{\"Voices\": [ "},
        {"no usable voice", R"({"Voices": [{"Id": "Joanna"}]})", R"({"Voices": [{"Id": "Joanna"}]})"},
        {"engine of the wrong type", R"({"Voices": [{"LanguageCode": "x", "SupportedEngines": [1]}]})",
         R"({"Voices": [{"LanguageCode": "x", "SupportedEngines": [1]}]})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Sim::get().log.clear();
        writeBytes(toolDir + "voices.json", c.output);
        AmazonPollyManager polly(SEARCH_PATH_ONLY);
        EXPECT_TRUE(polly.m_Voices.empty());
        EXPECT_TRUE(polly.enabled);
        // The tool's answer follows on a line of its own.
        const auto& log = sim::Sim::get().log;
        auto line = std::find_if(log.begin(), log.end(), [](const sim::LogLine& l) {
            return l.text.find("Quillon: Amazon Polly failed to enumerate voices. AWS Response:") != std::string::npos;
        });
        ASSERT_NE(line, log.end());
        ASSERT_NE(line + 1, log.end());
        EXPECT_EQ((line + 1)->text, c.flattened);
        std::string status;
        EXPECT_EQ(polly.getStatus(status), TTS_STATUS_ERROR);
        EXPECT_EQ(status, "Amazon Polly failed to enumerate voices. AWS Response:" + c.flattened);
    }
}

TEST_F(AmazonPolly, ToolThatNeverAnswersIsCutOff) {
    writeBytes(toolDir + "sleep", "5");
    auto started = std::chrono::steady_clock::now();
    AmazonPollyManager polly(SEARCH_PATH_ONLY);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2000));
    EXPECT_TRUE(logged("Amazon Polly: the AWS tool did not list the voices within 0.6 seconds"));
    EXPECT_TRUE(polly.m_Voices.empty());
}

TEST_F(AmazonPolly, WithoutTheToolTheServiceIsDisabledAndSaysWhy) {
    ScopedEnv emptyPath("PATH", simFolder + "empty");
    AmazonPollyManager polly(SEARCH_PATH_ONLY);
    EXPECT_TRUE(logged("Amazon Web services not detected"));
    EXPECT_FALSE(polly.isEnabled());
    std::string status;
    EXPECT_EQ(polly.getStatus(status), TTS_STATUS_WARNING);
    EXPECT_EQ(status, "Disabled");
    polly.enabled = true;  // as the stored configuration may say
    EXPECT_EQ(polly.getStatus(status), TTS_STATUS_ERROR);
    EXPECT_EQ(status, "Amazon Web services not detected");

    Voice voice;
    voice.id = "Joanna";
    voice.engine = "neural";
    polly.m_Voices.push_back(voice);
    sim::Sim::get().log.clear();
    EXPECT_FALSE(polly.createWaveFile(audioFile, 0, "Hello"));
    EXPECT_TRUE(logged("Amazon Web services not detected"));
    EXPECT_EQ(boxes(), Boxes({{"ERROR", "Amazon Polly Manager: Amazon Web Services not detected"}}));
    EXPECT_EQ(polly.totalApiCalls.load(), 0u);
}

TEST_F(AmazonPolly, SynthesisPassesTheTextAsOneArgumentNeverThroughAShell) {
    AmazonPollyManager polly(SEARCH_PATH_ONLY);
    const std::string text = "It's \"Joanna\"; touch pwned && echo $(touch pwned2) `touch pwned3` | cat > pwned4 & *";
    ASSERT_TRUE(polly.createWaveFile(audioFile, 1, text));

    std::string cleaned = text;
    std::replace(cleaned.begin(), cleaned.end(), '\'', ' ');
    EXPECT_EQ(toolArguments(),
              (std::vector<std::string>{"polly", "synthesize-speech", "--output-format", "mp3", "--voice-id", "Joanna",
                                        "--engine", "standard", "--text", cleaned, audioFile}));
    for (const char* name : {"pwned", "pwned2", "pwned3", "pwned4"}) {
        EXPECT_FALSE(std::filesystem::exists(name));
        EXPECT_FALSE(std::filesystem::exists(toolDir + name));
    }
    EXPECT_EQ(readBytes(audioFile), toneMp3());
    EXPECT_GT(decodedSamples(audioFile), 10000u);
    EXPECT_EQ(polly.totalCharacters.load(), text.size());
    EXPECT_EQ(polly.totalApiCalls.load(), 1u);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(AmazonPolly, AFailedSynthesisLeavesNoAudioAndCountsNothing) {
    AmazonPollyManager polly(SEARCH_PATH_ONLY);
    const struct {
        const char* name;
        const char* status;
        std::string reply;  // empty: the tool writes no file
        bool slow;
        std::string logLine;
    } cases[] = {
        {"tool error", "255", "", false, "Amazon Polly: the AWS tool ended with status 255: " + TOOL_REPLY},
        {"no file", "0", "", false, "Amazon Polly: the AWS tool wrote no MP3 audio: " + TOOL_REPLY},
        {"not audio", "0", "<html>denied</html>", false, "Amazon Polly: the AWS tool wrote no MP3 audio: " + TOOL_REPLY},
        {"never finishes", "0", toneMp3(), true, "Amazon Polly: the AWS tool did not finish within 0.6 seconds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Sim::get().log.clear();
        writeBytes(toolDir + "status", c.status);
        std::filesystem::remove(toolDir + "reply.mp3");
        if (!c.reply.empty()) writeBytes(toolDir + "reply.mp3", c.reply);
        if (c.slow) writeBytes(toolDir + "sleep", "5");
        writeBytes(audioFile, toneMp3());  // an earlier call's audio must not pass for this one's

        EXPECT_FALSE(polly.createWaveFile(audioFile, 0, "Hello"));
        EXPECT_FALSE(std::filesystem::exists(audioFile));
        EXPECT_TRUE(logged(c.logLine)) << (logMessages().empty() ? "" : logMessages().front());
        EXPECT_TRUE(logged("ERROR: Amazon Polly Manager was unable to create the audio file"));
        EXPECT_EQ(boxes(), Boxes({{"ERROR", "Amazon Polly Manager was unable to create the audio file"}}));
    }
    EXPECT_EQ(polly.totalApiCalls.load(), 0u);
}

}  // namespace
