// "ttsSettings.json": what is written, what is read back, and what happens
// to a file that cannot be read.
#include <nlohmann/json.hpp>

#include "VoiceFixtures.h"
#include "speech/MachineId.h"
#include "speech/OpenAIManager.h"
#include "speech/StringCipher.h"

namespace {

using nlohmann::json;

class VoiceSettingsFile : public VoiceTest {
protected:
    std::string readError(const std::string& description) const {
        return "Unexpected error reading " + settingsPath() + ": " + description;
    }
    // The manager as the plug-in starts it, with VoiceRSS and OpenAI keys.
    static void configure(VoiceManager& manager) {
        manager.services[1]->apiKey = "rss-key";
        manager.services[3]->apiKey = "sk-key";
        manager.services[3]->totalCharacters = 4321;
        manager.services[3]->totalApiCalls = 7;
        manager.services[2]->enabled = false;
        Voice clone = manager.services[3]->m_Voices[1];
        clone.isClone = true;
        clone.m_Name = "Approach";
        clone.speed = 1.25f;
        clone.ttsIndex = 13;
        manager.services[3]->m_Voices.push_back(clone);
        manager.usageDate = "2024-02-29";
        manager.refreshVoices();
        setRoles(manager, 0, false, false, CREW_NONE);
        manager.m_Voices[1].m_Atc = true;
        manager.m_Voices[62].m_crewRole = CREW_COPILOT;
        manager.m_Voices[75].m_TrafficPilot = true;
        manager.saveVoiceSelections();
        manager.addVoiceSet("Empty");
    }
};

TEST_F(VoiceSettingsFile, WhatIsSavedIsReadBack) {
    {
        VoiceManager manager;
        configure(manager);
        ASSERT_TRUE(manager.saveSettings());
    }
    const std::string text = readBytes(settingsPath());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find("\n    \"Services\": [\n"), std::string::npos) << text;  // indented by 4
    EXPECT_EQ(text.find("rss-key"), std::string::npos);                       // keys are stored enciphered
    const json stored = json::parse(text);
    EXPECT_EQ(stored["Usage Date"], "2024-02-29");
    ASSERT_EQ(stored["Voice Sets"].size(), 2u);
    EXPECT_EQ(stored["Voice Sets"][1], json({{"Name", "Empty"}}));  // no roles, no "Selections"
    const json& selections = stored["Voice Sets"][0]["Selections"];
    ASSERT_EQ(selections.size(), 3u);  // only voices with a role
    EXPECT_EQ(selections[0], json({{"Crew Role", 2},
                                   {"Key", "OpenAI_alloy_English (United States) - alloy"},
                                   {"Use as ATC", false},
                                   {"Use as Traffic Pilot", false}}));

    VoiceManager manager;
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(manager.usageDate, "2024-02-29");
    EXPECT_EQ(manager.services[1]->apiKey, "rss-key");
    EXPECT_EQ(manager.services[3]->apiKey, "sk-key");
    EXPECT_EQ(manager.services[3]->totalCharacters.load(), 4321u);
    EXPECT_FALSE(manager.services[2]->enabled);
    ASSERT_EQ(manager.m_Voices.size(), 62u + 14u);
    EXPECT_EQ(manager.m_Voices[75].m_Name, "Approach");
    EXPECT_FLOAT_EQ(manager.m_Voices[75].speed, 1.25f);
    ASSERT_EQ(manager.voiceSets.size(), 2u);
    EXPECT_EQ(manager.voiceSets[1].name, "Empty");
    EXPECT_TRUE(manager.m_Voices[1].m_Atc);
    EXPECT_FALSE(manager.m_Voices[0].m_Atc);
    EXPECT_EQ(manager.m_Voices[62].m_crewRole, CREW_COPILOT);
    EXPECT_TRUE(manager.m_Voices[75].m_TrafficPilot);
    EXPECT_EQ(manager.getPilotVoiceIndex(), 0);  // nobody was pilot: voice 0 again
    EXPECT_FALSE(std::filesystem::exists(settingsPath() + ".damaged"));
}

TEST_F(VoiceSettingsFile, AFailedWriteKeepsTheOldFile) {
    writeBytes(settingsPath(), "{\"Usage Date\": \"2020-01-01\"}\n");
    std::filesystem::create_directory(settingsPath() + ".tmp");  // the temporary file cannot be made
    {
        VoiceManager manager;
        EXPECT_EQ(manager.usageDate, "2020-01-01");
        manager.usageDate = "2021-01-01";
        EXPECT_FALSE(manager.saveSettings());
        EXPECT_TRUE(logged("ERROR: Unable to write " + settingsPath()));
    }
    EXPECT_EQ(readBytes(settingsPath()), "{\"Usage Date\": \"2020-01-01\"}\n");
}

TEST_F(VoiceSettingsFile, AnUnreadableFileIsReportedAndKeptAside) {
    std::string valid;
    {
        VoiceManager manager;
        configure(manager);
        manager.saveSettings();
        valid = readBytes(settingsPath());
    }
    const struct {
        const char* name;
        std::string text;
        std::string error;  // empty: a parser error
    } cases[] = {
        {"empty", "", ""},
        {"truncated", valid.substr(0, valid.size() / 2), ""},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0", 10), ""},
        {"huge number", "{\"Usage Date\": 1e999}", ""},
        {"not an object", "[{\"Usage Date\": \"2020-01-01\"}]", "the file does not hold a JSON object"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(settingsPath() + ".damaged");
        writeBytes(settingsPath(), c.text);
        {
            VoiceManager manager;
            const Boxes shown = boxes();
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].title, "ERROR");
            if (c.error.empty())
                EXPECT_EQ(shown[0].message.rfind(readError("[json.exception."), 0), 0u) << shown[0].message;
            else
                EXPECT_EQ(shown[0].message, readError(c.error));
            // The services keep their defaults: no key, nothing counted.
            EXPECT_TRUE(manager.m_Voices.empty());
            EXPECT_EQ(manager.services[3]->totalCharacters.load(), 0u);
            EXPECT_NE(manager.usageDate, "2024-02-29");
            EXPECT_TRUE(logged("The unreadable " + settingsPath() + " was kept as " + settingsPath() + ".damaged"));
        }
        // The user's file survives the save at the end, beside the new one.
        EXPECT_EQ(readBytes(settingsPath() + ".damaged"), c.text);
        EXPECT_NO_THROW(json::parse(readBytes(settingsPath())));
    }
    // A second damaged file does not replace the first one kept.
    writeBytes(settingsPath(), "{");
    VoiceManager manager;
    EXPECT_EQ(readBytes(settingsPath() + ".damaged2"), "{");
}

TEST_F(VoiceSettingsFile, ValuesOfTheWrongTypeAreReportedAndWhatWasReadBeforeStays) {
    const std::string rss = "{\"Name\": \"VoiceRSS\", \"Enabled\": true, \"Total Characters\": 5, "
                            "\"Total API Calls\": \"many\", \"ApiKey\": \"\"}";
    // Counters that do not fit, and a clone speed no float holds.
    const std::string lemonfox = "{\"Name\": \"Lemonfox.ai\", \"Enabled\": false, \"Total Characters\": -1, "
                                 "\"Total API Calls\": 0, \"ApiKey\": \"\"}";
    const std::string openai = "{\"Name\": \"OpenAI\", \"Enabled\": true, \"Total Characters\": 1e20, "
                               "\"Total API Calls\": 0, \"ApiKey\": \"\"}, {\"Name\": \"OpenAI\", \"Enabled\": "
                               "true, \"Total Characters\": 4294967295, \"Total API Calls\": 0, \"ApiKey\": \"\", "
                               "\"Clones\": [{\"Id\": \"ash\", \"Name\": \"Fast\", \"Instructions\": \"\", "
                               "\"Speed\": 1e300}]}";
    const std::string good = "{\"Use as ATC\": true, \"Crew Role\": 2, \"Key\": \"Fake0_v1_Fake0 voice 1\"}";
    writeBytes(settingsPath(),
               "{\"Usage Date\": 20240229, \"Services\": [7, {\"Name\": 3}, {\"Name\": \"Unknown\"}, " + rss + ", " + lemonfox +
                   ", " + openai + "], \"Voice Sets\": [{\"Name\": \"First\"}, {\"Name\": \"Second\", \"Selections\": [" + good +
                   ", {\"Use as ATC\": \"yes\", \"Crew Role\": 0, \"Key\": \"x\"}, "
                   "{\"Use as ATC\": false, \"Crew Role\": 9, \"Key\": \"y\"}]}, "
                   "{\"Name\": [\"Third\"]}, {\"Name\": \"Fourth\", \"Selections\": 5}]}");
    VoiceManager manager;
    EXPECT_EQ(boxes(), Boxes({{"ERROR", readError("[ERROR] Unexpected error while reading VoiceRSSTTS settings\n"
                                                  "[ERROR] Unexpected error while reading Lemonfox.aiTTS settings\n"
                                                  "[ERROR] Unexpected error while reading OpenAITTS settings\n"
                                                  "[ERROR] Unexpected error while reading voice selection\n"
                                                  "[ERROR] Unexpected error while reading voice selection\n"
                                                  "[ERROR] Unexpected error while reading voice set\n"
                                                  "[ERROR] Unexpected error while reading voice set")}}));
    EXPECT_EQ(manager.services[1]->totalCharacters.load(), 5u);  // read before the error
    EXPECT_FALSE(manager.services[2]->enabled);
    EXPECT_EQ(manager.services[2]->totalCharacters.load(), 0u);
    EXPECT_EQ(manager.services[3]->totalCharacters.load(), 4294967295u);
    EXPECT_EQ(manager.services[3]->m_Voices.back().m_Name, "Fast");
    EXPECT_FLOAT_EQ(manager.services[3]->m_Voices.back().speed, 1.0f);
    ASSERT_EQ(manager.voiceSets.size(), 4u);
    EXPECT_EQ(manager.voiceSets[0].name, "First");
    EXPECT_EQ(manager.voiceSets[1].name, "Second");
    ASSERT_EQ(manager.voiceSets[1].voiceSelections.size(), 1u);
    const VoiceSelection& kept = manager.voiceSets[1].voiceSelections.begin()->second;
    EXPECT_TRUE(kept.m_Atc);
    EXPECT_FALSE(kept.m_TrafficPilot);  // older files have no traffic pilots
    EXPECT_EQ(kept.m_crewRole, CREW_COPILOT);
    EXPECT_EQ(manager.voiceSets[3].name, "Fourth");
    // Partly read, so kept for the user as it was.
    EXPECT_TRUE(std::filesystem::exists(settingsPath() + ".damaged"));

    // The stored selection applies once the voice exists.
    manager.services.clear();
    manager.services.push_back(std::make_unique<FakeSpeech>("Fake0", 2));
    manager.refreshVoices();
    ASSERT_TRUE(manager.selectVoiceSet(1));
    EXPECT_EQ(manager.getCoPilotVoiceIndex(), 1);
}

TEST_F(VoiceSettingsFile, OtherTopLevelTypesAndAnEmptySetListAreIgnored) {
    writeBytes(settingsPath(), "{\"Usage Date\": 5, \"Services\": {\"Name\": \"OpenAI\"}, \"Voice Sets\": []}");
    VoiceManager manager;
    EXPECT_TRUE(boxes().empty());
    ASSERT_EQ(manager.voiceSets.size(), 1u);
    EXPECT_EQ(manager.voiceSets[0].name, "Default");
    EXPECT_EQ(manager.usageDate.size(), 10u);  // today
}

TEST_F(VoiceSettingsFile, KeysFromAnotherComputerAreAskedForAgain) {
    const std::string otherId = "0123456789abcdef0123456789abcdef";
    ASSERT_NE(MachineId::get(), otherId);
    const json rss = {{"Name", "VoiceRSS"},
                      {"Enabled", true},
                      {"Total Characters", 12},
                      {"Total API Calls", 1},
                      {"ApiKey", StringCipher::encrypt(otherId + "rss-key", otherId)}};
    const json file = {{"Services", json::array({rss})}};
    writeBytes(settingsPath(), file.dump(4));
    VoiceManager manager;
    EXPECT_EQ(boxes(), Boxes({{"Quillon ERROR",
                               "Your VoiceRSS API Key was previously encrypted on a different computer.\n\nYou will "
                               "need to reenter the API key."}}));
    EXPECT_EQ(manager.services[1]->apiKey, "");
    EXPECT_EQ(manager.services[1]->totalCharacters.load(), 12u);
    EXPECT_TRUE(manager.m_Voices.empty());
    EXPECT_EQ(manager.getTTSVoiceDescription(-1), "ERROR: There are no Text To Speech voices available");
}

}  // namespace
