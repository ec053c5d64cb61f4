// The services' voice lists, statuses, usage counters and their objects in the
// speech configuration.
#include <memory>
#include <nlohmann/json.hpp>

#include "SpeechStandIns.h"
#include "speech/AmazonPollyManager.h"
#include "speech/LemonFoxManager.h"
#include "speech/MachineId.h"
#include "speech/OpenAIManager.h"
#include "speech/StringCipher.h"
#include "speech/VoiceRSS.h"

namespace {

using nlohmann::json;

const char* const DEFAULT_INSTRUCTIONS =
    "Voice: Clear, authoritative, and composed, projecting confidence and professionalism.\n\nTone: Neutral and "
    "informative, maintaining a balance between formality and approachability.\n\nPunctuation: Structured with "
    "commas and pauses for clarity, ensuring information is digestible and well-paced.\n\nDelivery: Steady and "
    "measured, with slight emphasis on key figures and deadlines to highlight critical points.";

Voice cloneOf(const std::string& id, const std::string& name, const std::string& instructions, float speed) {
    Voice clone;
    clone.isClone = true;
    clone.id = id;
    clone.m_Name = name;
    clone.instructions = instructions;
    clone.speed = speed;
    return clone;
}

using SpeechServiceConfig = SpeechTest;

TEST_F(SpeechServiceConfig, FixedVoiceLists) {
    VoiceRSSManager voiceRss;
    LemonFoxManager lemonfox;
    OpenAIManager openai;
    const struct {
        TTSBase* service;
        size_t count;
        size_t index;
        const char* name;
        const char* id;
        const char* code;
    } cases[] = {
        {&voiceRss, 62, 0, "English (Australia) - Zoe", "Zoe", "en-au"},
        {&voiceRss, 62, 15, "English (Ireland) - Oran", "Oran", "en-ie"},
        {&voiceRss, 62, 35, "Hindi - Puja", "Puja", "hi-in"},
        {&voiceRss, 62, 61, "Chinese (Taiwan) - Lee", "Lee", "zh-tw"},
        {&lemonfox, 54, 14, "English (United States) - Finrir", "Finrir", "en-us"},
        {&lemonfox, 54, 44, "French (France) - Siwis", "Siwis", "fr-fr"},
        {&lemonfox, 54, 53, "Portuguese (Brazil) - Papai", "Papai", "pt-br"},
        {&openai, 13, 2, "English (Great Britain) - ballad", "ballad", "en-gb"},
        {&openai, 13, 12, "English (United States) - nova", "nova", "en-us"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.service->m_Voices.size(), c.count);
        const Voice& voice = c.service->m_Voices[c.index];
        EXPECT_EQ(voice.m_Name, c.name);
        EXPECT_EQ(voice.id, c.id);
        EXPECT_EQ(voice.language_code, c.code);
        EXPECT_EQ(voice.ttsIndex, static_cast<int>(c.index));
        EXPECT_EQ(voice.pTTSEngine, c.service);
        EXPECT_FALSE(voice.isClone);
    }
    for (const Voice& voice : openai.m_Voices) {
        EXPECT_EQ(voice.instructions, DEFAULT_INSTRUCTIONS);
        EXPECT_EQ(voice.speed, 1.0f);
    }
    EXPECT_EQ(lemonfox.m_Voices[0].instructions, "");
}

TEST_F(SpeechServiceConfig, StatusFollowsEnabledAndKey) {
    LemonFoxManager service;
    std::string status;
    EXPECT_EQ(service.getStatus(status), TTS_STATUS_WARNING);
    EXPECT_EQ(status, "You must enter an API Key");
    EXPECT_FALSE(service.isEnabled());
    service.apiKey = "key";
    EXPECT_EQ(service.getStatus(status), TTS_STATUS_SUCCESS);
    EXPECT_EQ(status, "54 voices are available");
    EXPECT_TRUE(service.isEnabled());
    service.m_Voices.clear();
    EXPECT_EQ(service.getStatus(status), TTS_STATUS_SUCCESS);
    EXPECT_EQ(status, "0 voices are available");
    service.enabled = false;
    EXPECT_EQ(service.getStatus(status), TTS_STATUS_WARNING);
    EXPECT_EQ(status, "Disabled");
    EXPECT_FALSE(service.isEnabled());
    EXPECT_FALSE(service.usesWAV());
}

TEST_F(SpeechServiceConfig, UsageCountsWithThousandsSeparators) {
    OpenAIManager service;
    EXPECT_EQ(service.getUsage(), "Total Characters: 0 Total API Calls: 0");
    service.reportCharacterUsage(12345);
    service.reportCharacterUsage(1000000);
    EXPECT_EQ(service.getUsage(), "Total Characters: 1,012,345 Total API Calls: 2");
}

TEST_F(SpeechServiceConfig, ObjectsRoundTrip) {
    ScopedEnv noTool("PATH", simFolder + "empty");
    std::vector<std::unique_ptr<TTSBase>> written;
    written.push_back(std::make_unique<AmazonPollyManager>());
    written.push_back(std::make_unique<VoiceRSSManager>());
    written.push_back(std::make_unique<LemonFoxManager>());
    written.push_back(std::make_unique<OpenAIManager>());
    std::vector<std::unique_ptr<TTSBase>> read;
    read.push_back(std::make_unique<AmazonPollyManager>());
    read.push_back(std::make_unique<VoiceRSSManager>());
    read.push_back(std::make_unique<LemonFoxManager>());
    read.push_back(std::make_unique<OpenAIManager>());

    auto* openai = static_cast<OpenAIManager*>(written[3].get());
    EXPECT_FALSE(openai->toJson().contains("Clones"));
    openai->m_Voices.push_back(cloneOf("ash", "Tower ash", "Calm.", 1.25f));
    openai->m_Voices.push_back(cloneOf("ballad", "Slow ballad", "", 0.5f));
    for (size_t i = 0; i < written.size(); ++i) {
        written[i]->enabled = i % 2 == 0;
        written[i]->totalCharacters = 1000 + static_cast<uint32_t>(i);
        written[i]->totalApiCalls = 10 + static_cast<uint32_t>(i);
        if (written[i]->usesKey) written[i]->apiKey = "key-" + written[i]->getServiceName();
    }

    for (size_t i = 0; i < written.size(); ++i) {
        SCOPED_TRACE(written[i]->getServiceName());
        json j = json::parse(written[i]->toJson().dump(4));  // as the file holds it
        EXPECT_EQ(j["Name"], written[i]->getServiceName());
        EXPECT_EQ(j.contains("ApiKey"), written[i]->usesKey);
        if (written[i]->usesKey) {
            EXPECT_NE(j["ApiKey"], written[i]->apiKey);
        }
        EXPECT_EQ(read[i]->fromJson(j), "");
        EXPECT_EQ(read[i]->enabled, written[i]->enabled);
        EXPECT_EQ(read[i]->totalCharacters.load(), written[i]->totalCharacters.load());
        EXPECT_EQ(read[i]->totalApiCalls.load(), written[i]->totalApiCalls.load());
        EXPECT_EQ(read[i]->apiKey, written[i]->apiKey);
        ASSERT_EQ(read[i]->m_Voices.size(), written[i]->m_Voices.size());
    }
    const auto& clones = read[3]->m_Voices;
    EXPECT_EQ(clones[13].m_Name, "Tower ash");
    EXPECT_EQ(clones[13].id, "ash");
    EXPECT_EQ(clones[13].instructions, "Calm.");
    EXPECT_EQ(clones[13].speed, 1.25f);
    EXPECT_EQ(clones[13].ttsIndex, 13);
    EXPECT_EQ(clones[13].pTTSEngine, read[3].get());
    EXPECT_TRUE(clones[13].isClone);
    EXPECT_EQ(clones[13].language, "");
    EXPECT_EQ(clones[14].m_Name, "Slow ballad");
    EXPECT_EQ(clones[14].speed, 0.5f);
    EXPECT_TRUE(boxes().empty());

    // Reading again replaces the clones.
    json again = read[3]->toJson();
    EXPECT_EQ(read[3]->fromJson(again), "");
    EXPECT_EQ(read[3]->m_Voices.size(), 15u);
    int count = 0;
    const char** names = static_cast<OpenAIManager*>(read[3].get())->getBaseVoiceNames(count);
    ASSERT_EQ(count, 13);
    EXPECT_STREQ(names[0], "alloy");
    EXPECT_STREQ(names[12], "nova");
    delete[] names;
}

TEST_F(SpeechServiceConfig, CloneSpeedIsReadOnlyFromAFloatingPointNumber) {
    OpenAIManager service;
    json j = {{"Enabled", true}, {"Total Characters", 0}, {"Total API Calls", 0}, {"ApiKey", ""},
              {"Clones", {{{"Id", "ash"}, {"Name", "Two"}, {"Instructions", ""}, {"Speed", 2}},
                          {{"Id", "ash"}, {"Name", "Text"}, {"Instructions", ""}, {"Speed", "2.0"}},
                          {{"Id", "ash"}, {"Name", "Float"}, {"Instructions", ""}, {"Speed", 2.0}}}}};
    EXPECT_EQ(service.fromJson(j), "");
    ASSERT_EQ(service.m_Voices.size(), 16u);
    EXPECT_EQ(service.m_Voices[13].speed, 1.0f);
    EXPECT_EQ(service.m_Voices[14].speed, 1.0f);
    EXPECT_EQ(service.m_Voices[15].speed, 2.0f);
}

TEST_F(SpeechServiceConfig, UnreadableObjectsKeepWhatWasReadBefore) {
    json base = {{"Enabled", false}, {"Total Characters", 5}, {"Total API Calls", 1}, {"ApiKey", ""}};
    const struct {
        const char* name;
        std::function<void(json&)> damage;
        bool enabledAfter;
        uint32_t charactersAfter;
    } cases[] = {
        {"key of the wrong type", [](json& j) { j["ApiKey"] = 12345; }, false, 5},
        {"key that is not hex", [](json& j) { j["ApiKey"] = "xyz1"; }, false, 5},
        {"key of odd length", [](json& j) { j["ApiKey"] = "abc"; }, false, 5},
        {"key missing", [](json& j) { j.erase("ApiKey"); }, false, 5},
        {"counter of the wrong type", [](json& j) { j["Total Characters"] = "many"; }, false, 0},
        {"enabled missing", [](json& j) { j.erase("Enabled"); }, true, 0},
        {"clone without name", [](json& j) { j["Clones"] = {{{"Id", "ash"}}}; }, false, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenAIManager service;
        service.apiKey = "typed before";
        json j = base;
        c.damage(j);
        EXPECT_EQ(service.fromJson(j), "[ERROR] Unexpected error while reading OpenAITTS settings");
        EXPECT_EQ(service.enabled, c.enabledAfter);
        EXPECT_EQ(service.totalCharacters.load(), c.charactersAfter);
        if (std::string(c.name).rfind("key", 0) == 0) {
            EXPECT_EQ(service.apiKey, "");  // a stored key that cannot be read leaves none
        }
        EXPECT_EQ(service.m_Voices.size(), 13u);
    }
    LemonFoxManager lemonfox;
    json j = base;
    j["ApiKey"] = true;
    EXPECT_EQ(lemonfox.fromJson(j), "[ERROR] Unexpected error while reading Lemonfox.aiTTS settings");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SpeechServiceConfig, KeysFromAnotherComputerAreDroppedWithOneNoticeEach) {
    const std::string otherId = "ffffffffffffffffffffffffffffffff";
    ASSERT_NE(MachineId::get(), otherId);
    json stored = {{"Enabled", true},
                   {"Total Characters", 7},
                   {"Total API Calls", 2},
                   {"ApiKey", StringCipher::encrypt(otherId + "sk-elsewhere", otherId)}};
    VoiceRSSManager voiceRss;
    LemonFoxManager lemonfox;
    OpenAIManager openai;
    voiceRss.apiKey = "legacy";
    for (TTSBase* service : std::initializer_list<TTSBase*>{&voiceRss, &lemonfox, &openai}) {
        json j = stored;
        EXPECT_EQ(service->fromJson(j), "");  // reading goes on
        EXPECT_EQ(service->apiKey, "");
        EXPECT_EQ(service->totalCharacters.load(), 7u);
        EXPECT_FALSE(service->isEnabled());
    }
    auto notice = [](const std::string& owner) {
        return BoxRequest{"Quillon ERROR", "Your " + owner +
                                               " API Key was previously encrypted on a different computer.\n\nYou "
                                               "will need to reenter the API key."};
    };
    EXPECT_EQ(boxes(), Boxes({notice("VoiceRSS"), notice("LemonFox"), notice("OpenAI")}));
}

}  // namespace
