// The voice list, the roles voices play in voice sets, and choosing voices.
#include <set>

#include "VoiceFixtures.h"
#include "speech/OpenAIManager.h"

namespace {

using VoiceManagerTest = VoiceTest;

TEST_F(VoiceManagerTest, VoiceListMergesTheEnabledServicesInServiceOrder) {
    gSettings.voiceRSSAPIKey = "legacy-key";  // VoiceRSS takes the key older versions stored
    VoiceManager manager;
    ASSERT_EQ(manager.services.size(), 4u);
    const char* names[] = {"AWS", "VoiceRSS", "Lemonfox.ai", "OpenAI"};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(manager.services[i]->getServiceName(), names[i]);
    EXPECT_FALSE(manager.services[0]->isEnabled());  // no AWS tool here
    EXPECT_FALSE(manager.services[2]->isEnabled());  // enabled, but without a key
    ASSERT_EQ(manager.m_Voices.size(), 62u);
    EXPECT_EQ(manager.m_Voices[0].m_Name, "English (Australia) - Zoe");

    manager.services[3]->apiKey = "sk";
    manager.services[2]->apiKey = "lf";
    manager.services[2]->enabled = false;
    manager.refreshVoices();
    ASSERT_EQ(manager.m_Voices.size(), 62u + 13u);
    EXPECT_EQ(manager.m_Voices[62].m_Name, "English (United States) - alloy");
    EXPECT_EQ(manager.m_Voices[62].pTTSEngine, manager.services[3].get());
    EXPECT_EQ(manager.ttsVoiceToIndex.size(), 75u);
    EXPECT_EQ(manager.ttsVoiceToIndex.at("VoiceRSS_61"), 61);
    EXPECT_EQ(manager.ttsVoiceToIndex.at("OpenAI_12"), 74);
    EXPECT_EQ(manager.findVoiceIndex(manager.services[3].get(), 2), 64);
    EXPECT_EQ(manager.findVoiceIndex(manager.services[2].get(), 0), -1);
    EXPECT_EQ(manager.countEnabledServices(), 2);
    EXPECT_EQ(VoiceManager::selectionKey(manager.m_Voices[0]), "VoiceRSS_Zoe_English (Australia) - Zoe");
}

TEST_F(VoiceManagerTest, WithoutAnyVoiceTheChoicesFallBack) {
    VoiceManager manager;
    EXPECT_TRUE(manager.m_Voices.empty());
    EXPECT_EQ(manager.countAtcVoices(true), 0);
    EXPECT_EQ(manager.getPilotVoiceIndex(), 0);
    EXPECT_EQ(manager.getCoPilotVoiceIndex(), -1);
    EXPECT_EQ(manager.getFlightAttendantVoiceIndex(), -1);
    EXPECT_EQ(manager.speechIndextoVoiceIndex(0), -1);
    for (int speechIndex : {-1, -2, 0, 7})
        EXPECT_EQ(manager.getTTSVoiceDescription(speechIndex), "ERROR: There are no Text To Speech voices available");
}

TEST_F(VoiceManagerTest, FirstStartTakesTheLegacySelectionsOnce) {
    auto manager = fakeManager({4}, "CB");
    const auto& voices = manager->m_Voices;
    EXPECT_TRUE(voices[0].m_Atc);
    EXPECT_EQ(voices[0].m_crewRole, CREW_PILOT);
    EXPECT_TRUE(voices[0].m_TrafficPilot);  // nobody else is one
    EXPECT_TRUE(voices[1].m_Atc);
    EXPECT_EQ(voices[1].m_crewRole, CREW_NONE);
    EXPECT_FALSE(voices[1].m_TrafficPilot);
    EXPECT_FALSE(voices[2].m_Atc);
    EXPECT_TRUE(gSettings.oldVoiceSelections.empty());
    EXPECT_EQ(manager->countAtcVoices(false), 2);
}

TEST_F(VoiceManagerTest, LegacyLettersGiveTheirRoles) {
    auto manager = fakeManager({11}, std::string("ABCDEFGH\0Z", 10));
    const struct {
        bool atc;
        CrewRole role;
    } expected[] = {{false, CREW_PILOT}, {true, CREW_NONE},    {true, CREW_PILOT},
                    {false, CREW_NONE},  {false, CREW_COPILOT}, {true, CREW_COPILOT},
                    {false, CREW_FLIGHT_ATTENDENT}, {true, CREW_FLIGHT_ATTENDENT},
                    {false, CREW_NONE},  {false, CREW_NONE},    {false, CREW_NONE}};
    for (size_t i = 0; i < 11; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(manager->m_Voices[i].m_Atc, expected[i].atc);
        EXPECT_EQ(manager->m_Voices[i].m_crewRole, expected[i].role);
    }
}

TEST_F(VoiceManagerTest, EachVoiceSetKeepsItsOwnRoles) {
    auto manager = fakeManager({3});
    setRoles(*manager, 0, false, true, CREW_PILOT);
    setRoles(*manager, 1, true, false, CREW_COPILOT);
    setRoles(*manager, 2, true, true, CREW_FLIGHT_ATTENDENT);
    manager->saveVoiceSelections();
    EXPECT_EQ(manager->countAtcVoices(false), 2);

    EXPECT_EQ(manager->addVoiceSet("Night"), 1);
    gSettings.oldVoiceSelections = "GGG";  // only ever for the first set
    ASSERT_TRUE(manager->selectVoiceSet(1));
    EXPECT_EQ(manager->getVoiceSetName(), "Night");
    // A new set starts with voice 0 in every role, as nothing else is assigned.
    EXPECT_EQ(manager->m_Voices[0].m_crewRole, CREW_PILOT);
    EXPECT_TRUE(manager->m_Voices[0].m_Atc);
    EXPECT_EQ(manager->m_Voices[2].m_crewRole, CREW_NONE);
    EXPECT_EQ(manager->getCoPilotVoiceIndex(), -1);
    manager->resetSelections();
    EXPECT_EQ(manager->countAtcVoices(false), 1);

    EXPECT_FALSE(manager->selectVoiceSet(2));
    EXPECT_FALSE(manager->selectVoiceSet(-1));
    EXPECT_EQ(manager->currentvoiceSet, 1);
    ASSERT_TRUE(manager->selectVoiceSet(0));
    EXPECT_FALSE(manager->m_Voices[0].m_Atc);
    EXPECT_EQ(manager->getCoPilotVoiceIndex(), 1);
    EXPECT_EQ(manager->getFlightAttendantVoiceIndex(), 2);
    EXPECT_TRUE(manager->m_Voices[2].m_TrafficPilot);

    int count = 0;
    const char** names = manager->getVoiceSetNames(count);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(names[0], "Default");
    EXPECT_STREQ(names[1], "Night");
    delete[] names;
}

TEST_F(VoiceManagerTest, ADisabledServiceLosesItsSelectionsWhenSaved) {
    auto manager = fakeManager({2, 2});
    setRoles(*manager, 3, true, true, CREW_COPILOT);
    manager->saveVoiceSelections();
    const std::string key = VoiceManager::selectionKey(manager->m_Voices[3]);
    ASSERT_EQ(manager->voiceSets[0].voiceSelections.count(key), 1u);

    manager->services[1]->enabled = false;
    manager->saveVoiceSelections();
    EXPECT_EQ(manager->voiceSets[0].voiceSelections.count(key), 0u);
    manager->refreshVoices();
    EXPECT_EQ(manager->m_Voices.size(), 2u);

    manager->services[1]->enabled = true;
    manager->refreshVoices();
    ASSERT_EQ(manager->m_Voices.size(), 4u);
    EXPECT_FALSE(manager->m_Voices[3].m_Atc);
    EXPECT_EQ(manager->m_Voices[3].m_crewRole, CREW_NONE);
}

TEST_F(VoiceManagerTest, SpeechIndexesNameTheCrewAndTheControllerVoices) {
    auto manager = fakeManager({5});
    setRoles(*manager, 0, false, true, CREW_NONE);
    setRoles(*manager, 1, true, false, CREW_PILOT);
    setRoles(*manager, 2, false, false, CREW_FLIGHT_ATTENDENT);
    setRoles(*manager, 3, true, false, CREW_NONE);
    setRoles(*manager, 4, true, false, CREW_PILOT);
    manager->saveVoiceSelections();
    const struct {
        int speechIndex, voiceIndex;
        const char* description;
    } cases[] = {
        {-1, 1, "Fake0 voice 1"},  // the first pilot
        {-2, -1, "ERROR: Voice is not available"},
        {-3, 2, "Fake0 voice 2"},
        {0, 1, "Fake0 voice 1"},
        {1, 3, "Fake0 voice 3"},
        {2, 4, "Fake0 voice 4"},
        {3, -1, "ERROR: Voice is not available"},
        {-4, -1, "ERROR: Voice is not available"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speechIndex);
        EXPECT_EQ(manager->speechIndextoVoiceIndex(c.speechIndex), c.voiceIndex);
        EXPECT_EQ(manager->getTTSVoiceDescription(c.speechIndex), c.description);
    }
}

TEST_F(VoiceManagerTest, TwoControllerVoicesAlternateAndTheSameControllerKeepsItsVoice) {
    auto manager = fakeManager({4});
    setRoles(*manager, 0, false, true, CREW_PILOT);
    setRoles(*manager, 1, true, false, CREW_NONE);
    setRoles(*manager, 3, true, false, CREW_NONE);
    manager->saveVoiceSelections();
    EXPECT_EQ(manager->getAtcVoiceIndex(true), 1);  // the last one (0) is neither
    EXPECT_EQ(manager->getAtcVoiceIndex(false), 1);
    EXPECT_EQ(manager->getAtcVoiceIndex(true), 3);
    EXPECT_EQ(manager->getAtcVoiceIndex(false), 3);
    EXPECT_EQ(manager->getAtcVoiceIndex(true), 1);
    // A controller voice that lost its role is not kept.
    setRoles(*manager, 1, false, false, CREW_NONE);
    EXPECT_EQ(manager->getAtcVoiceIndex(false), 3);
}

TEST_F(VoiceManagerTest, ManyControllerVoicesAreDrawnAtRandomAndMayRepeat) {
    auto manager = fakeManager({4});
    for (size_t i = 1; i < 4; ++i) setRoles(*manager, i, true, false, CREW_NONE);
    setRoles(*manager, 0, false, true, CREW_PILOT);
    std::set<int> drawn;
    int repeats = 0, last = -1;
    for (int i = 0; i < 200; ++i) {
        const int voice = manager->getAtcVoiceIndex(true);
        drawn.insert(voice);
        repeats += voice == last ? 1 : 0;
        last = voice;
    }
    EXPECT_EQ(drawn, std::set<int>({1, 2, 3}));
    EXPECT_GT(repeats, 0);

    auto single = fakeManager({1});
    EXPECT_EQ(single->getAtcVoiceIndex(true), 0);
}

TEST_F(VoiceManagerTest, ClonesAreAddedRenamedAndRemoved) {
    VoiceManager manager;
    auto& openai = static_cast<OpenAIManager&>(*manager.services[3]);
    openai.apiKey = "sk";
    manager.refreshVoices();
    ASSERT_EQ(manager.m_Voices.size(), 13u);

    Voice clone = openai.m_Voices[4];
    clone.isClone = true;
    clone.m_Name = "Tower Anna";
    clone.ttsIndex = 13;
    manager.updateVoice(clone, false);
    ASSERT_EQ(manager.m_Voices.size(), 14u);
    EXPECT_EQ(manager.ttsVoiceToIndex.at("OpenAI_13"), 13);

    clone.m_Name = "Tower Berta";
    clone.instructions = "calm";
    manager.updateVoice(clone, false);
    EXPECT_EQ(manager.m_Voices[13].m_Name, "Tower Berta");
    EXPECT_EQ(manager.m_Voices[13].instructions, "calm");

    manager.updateVoice(clone, true);
    EXPECT_EQ(manager.m_Voices.size(), 13u);
    clone.ttsIndex = 40;
    manager.updateVoice(clone, true);  // unknown: nothing happens
    EXPECT_EQ(manager.m_Voices.size(), 13u);
}

TEST_F(VoiceManagerTest, UsageIsSummedOverAllServicesSinceToday) {
    VoiceManager manager;
    char today[32];
    const time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    strftime(today, sizeof today, "%Y-%m-%d", &local);
    EXPECT_EQ(manager.usageDate, today);
    EXPECT_EQ(manager.getUsageData(), "Total Characters : 0 Total API Calls : 0");

    manager.services[0]->totalCharacters = 1000000;  // disabled services count too
    manager.services[2]->totalCharacters = 234567;
    manager.services[2]->totalApiCalls = 1200;
    manager.services[3]->totalApiCalls = 34;
    EXPECT_EQ(manager.getUsageData(), "Total Characters : 1,234,567 Total API Calls : 1,234");

    manager.usageDate = "2001-01-01";
    manager.resetUsageData();
    EXPECT_EQ(manager.usageDate, today);
    EXPECT_EQ(manager.getUsageData(), "Total Characters : 0 Total API Calls : 0");
}

}  // namespace
