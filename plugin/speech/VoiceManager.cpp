#include "VoiceManager.h"

#include <ctime>

#include "AmazonPollyManager.h"
#include "LemonFoxManager.h"
#include "OpenAIManager.h"
#include "Settings.h"
#include "VoiceRSS.h"
#include "common/Common.h"

namespace {

std::unique_ptr<VoiceManager> gVoiceManager;

// The voice roles of the single letters that older versions stored in the settings file.
void applyLegacySelection(char letter, Voice& voice) {
    struct Roles {
        char letter;
        bool atc;
        CrewRole crewRole;
    };
    static const Roles table[] = {{'A', false, CREW_PILOT},   {'B', true, CREW_NONE},
                                  {'C', true, CREW_PILOT},    {'D', false, CREW_NONE},
                                  {'E', false, CREW_COPILOT}, {'F', true, CREW_COPILOT},
                                  {'G', false, CREW_FLIGHT_ATTENDENT}, {'H', true, CREW_FLIGHT_ATTENDENT},
                                  {'\0', false, CREW_NONE}};
    for (const Roles& roles : table) {
        if (roles.letter != letter) continue;
        voice.m_Atc = roles.atc;
        voice.m_crewRole = roles.crewRole;
        return;
    }
}

int firstWithCrewRole(const std::vector<Voice>& voices, CrewRole role, int none) {
    for (size_t i = 0; i < voices.size(); ++i)
        if (voices[i].m_crewRole == role) return static_cast<int>(i);
    return none;
}

}  // namespace

VoiceManager::VoiceManager() {
    voiceSets.push_back({"Default", {}});
    getTTSServices();
    readSettings();
    refreshVoices();
}

VoiceManager::~VoiceManager() {
    // The workers use the services; they are joined before anything goes.
    clearSpeechQueue();
    saveSettings();
    services.clear();
}

void VoiceManager::clearSpeechQueue() {
    while (!speechQueue.empty()) speechQueue.pop();
}

void VoiceManager::getTTSServices() {
    services.clear();
    services.push_back(std::make_unique<AmazonPollyManager>());
    services.push_back(std::make_unique<VoiceRSSManager>());
    services.push_back(std::make_unique<LemonFoxManager>());
    services.push_back(std::make_unique<OpenAIManager>());
}

std::string VoiceManager::selectionKey(const Voice& voice) {
    const std::string service = voice.pTTSEngine ? voice.pTTSEngine->getServiceName() : std::string();
    return service + "_" + voice.id + "_" + voice.m_Name;
}

void VoiceManager::refreshVoices() {
    Lock lock(m_Lock);
    m_Voices.clear();
    ttsVoiceToIndex.clear();
    for (const auto& service : services) {
        if (!service->isEnabled()) continue;
        std::lock_guard<std::mutex> serviceLock(service->m_Lock);
        for (const Voice& voice : service->m_Voices) {
            ttsVoiceToIndex[service->getServiceName() + "_" + std::to_string(voice.ttsIndex)] =
                static_cast<int>(m_Voices.size());
            m_Voices.push_back(voice);
        }
    }
    initVoiceSelections();
}

VoiceSet& VoiceManager::currentSet() {
    if (voiceSets.empty()) voiceSets.push_back({"Default", {}});
    if (currentvoiceSet < 0 || currentvoiceSet >= static_cast<int>(voiceSets.size())) currentvoiceSet = 0;
    return voiceSets[static_cast<size_t>(currentvoiceSet)];
}

void VoiceManager::initVoiceSelections() {
    Lock lock(m_Lock);
    lastAtcVoiceIndex = 0;
    lastAtcFreq = 0;
    const VoiceSet& set = currentSet();
    const std::string& legacy = gSettings.oldVoiceSelections;
    for (size_t i = 0; i < m_Voices.size(); ++i) {
        Voice& voice = m_Voices[i];
        voice.m_Atc = false;
        voice.m_TrafficPilot = false;
        voice.m_crewRole = CREW_NONE;
        if (currentvoiceSet == 0 && i < legacy.size()) applyLegacySelection(legacy[i], voice);
        auto stored = set.voiceSelections.find(selectionKey(voice));
        if (stored != set.voiceSelections.end()) {
            voice.m_Atc = stored->second.m_Atc;
            voice.m_TrafficPilot = stored->second.m_TrafficPilot;
            voice.m_crewRole = stored->second.m_crewRole;
        }
    }
    gSettings.oldVoiceSelections.clear();
    if (!m_Voices.empty()) {
        bool pilot = false, atc = false, trafficPilot = false;
        for (const Voice& voice : m_Voices) {
            pilot = pilot || voice.m_crewRole == CREW_PILOT;
            atc = atc || voice.m_Atc;
            trafficPilot = trafficPilot || voice.m_TrafficPilot;
        }
        if (!pilot) m_Voices[0].m_crewRole = CREW_PILOT;
        if (!atc) m_Voices[0].m_Atc = true;
        if (!trafficPilot) m_Voices[0].m_TrafficPilot = true;
    }
    saveVoiceSelections();
}

void VoiceManager::saveVoiceSelections() {
    Lock lock(m_Lock);
    VoiceSet& set = currentSet();
    set.voiceSelections.clear();
    for (const Voice& voice : m_Voices) {
        if (!voice.pTTSEngine || !voice.pTTSEngine->isEnabled()) continue;
        const std::string key = selectionKey(voice);
        set.voiceSelections[key] = {key, voice.m_Atc, voice.m_TrafficPilot, voice.m_crewRole};
    }
    countAtcVoices(true);
}

void VoiceManager::resetSelections() {
    Lock lock(m_Lock);
    for (size_t i = 0; i < m_Voices.size(); ++i) {
        m_Voices[i].m_Atc = i == 0;
        m_Voices[i].m_TrafficPilot = i == 0;
        m_Voices[i].m_crewRole = i == 0 ? CREW_PILOT : CREW_NONE;
    }
    saveVoiceSelections();
}

int VoiceManager::countAtcVoices(bool refresh) {
    Lock lock(m_Lock);
    if (refresh) {
        atcVoiceCount = 0;
        for (const Voice& voice : m_Voices) atcVoiceCount += voice.m_Atc ? 1 : 0;
    }
    return atcVoiceCount;
}

void VoiceManager::updateVoice(const Voice& voice, bool remove) {
    Lock lock(m_Lock);
    const std::string name = voice.pTTSEngine ? voice.pTTSEngine->getServiceName() : std::string();
    auto found = ttsVoiceToIndex.find(name + "_" + std::to_string(voice.ttsIndex));
    const bool listed = found != ttsVoiceToIndex.end() && found->second >= 0 &&
                        found->second < static_cast<int>(m_Voices.size());
    if (listed && remove) {
        // The caller rebuilds the list, and with it the map, afterwards.
        m_Voices.erase(m_Voices.begin() + found->second);
    } else if (listed) {
        m_Voices[static_cast<size_t>(found->second)].m_Name = voice.m_Name;
        m_Voices[static_cast<size_t>(found->second)].instructions = voice.instructions;
    } else if (!remove) {
        ttsVoiceToIndex[name + "_" + std::to_string(voice.ttsIndex)] = static_cast<int>(m_Voices.size());
        m_Voices.push_back(voice);
    }
}

int VoiceManager::findVoiceIndex(const TTSBase* service, int ttsIndex) const {
    Lock lock(m_Lock);
    for (size_t i = 0; i < m_Voices.size(); ++i)
        if (m_Voices[i].pTTSEngine == service && m_Voices[i].ttsIndex == ttsIndex) return static_cast<int>(i);
    return -1;
}

int VoiceManager::countEnabledServices() const {
    int count = 0;
    for (const auto& service : services) count += service->isEnabled() ? 1 : 0;
    return count;
}

int VoiceManager::getPilotVoiceIndex() const {
    Lock lock(m_Lock);
    return firstWithCrewRole(m_Voices, CREW_PILOT, 0);
}

int VoiceManager::getCoPilotVoiceIndex() const {
    Lock lock(m_Lock);
    return firstWithCrewRole(m_Voices, CREW_COPILOT, -1);
}

int VoiceManager::getFlightAttendantVoiceIndex() const {
    Lock lock(m_Lock);
    return firstWithCrewRole(m_Voices, CREW_FLIGHT_ATTENDENT, -1);
}

int VoiceManager::getAtcVoiceIndex(bool next) {
    Lock lock(m_Lock);
    const int count = static_cast<int>(m_Voices.size());
    if (!next && lastAtcVoiceIndex >= 0 && lastAtcVoiceIndex < count &&
        m_Voices[static_cast<size_t>(lastAtcVoiceIndex)].m_Atc)
        return lastAtcVoiceIndex;
    if (count <= 1) {
        lastAtcVoiceIndex = 0;
        return 0;
    }
    std::vector<int> atc;
    for (int i = 0; i < count; ++i)
        if (m_Voices[static_cast<size_t>(i)].m_Atc) atc.push_back(i);
    int choice = 0;
    if (atc.size() == 1)
        choice = atc[0];
    else if (atc.size() == 2)
        choice = atc[0] == lastAtcVoiceIndex ? atc[1] : atc[0];
    else if (atc.size() > 2)
        choice = atc[static_cast<size_t>(getUniformRandomNumber(0, static_cast<int>(atc.size()) - 1))];
    lastAtcVoiceIndex = choice;
    if (gSettings.debugOutput)
        sLogMsg("Now using ATC Voice: %s", m_Voices[static_cast<size_t>(choice)].m_Name.c_str());
    return choice;
}

int VoiceManager::speechIndextoVoiceIndex(int speechIndex) const {
    Lock lock(m_Lock);
    switch (speechIndex) {
        case SPEECH_INDEX_PILOT: return getPilotVoiceIndex();
        case SPEECH_INDEX_COPILOT: return getCoPilotVoiceIndex();
        case SPEECH_INDEX_FLIGHT_ATTENDANT: return getFlightAttendantVoiceIndex();
        default: break;
    }
    if (speechIndex < 0 || speechIndex >= atcVoiceCount) return -1;
    int seen = 0;
    for (size_t i = 0; i < m_Voices.size(); ++i) {
        if (!m_Voices[i].m_Atc) continue;
        if (seen++ == speechIndex) return static_cast<int>(i);
    }
    return -1;
}

std::string VoiceManager::getTTSVoiceDescription(int speechIndex) const {
    Lock lock(m_Lock);
    if (m_Voices.empty()) return "ERROR: There are no Text To Speech voices available";
    const int index = speechIndextoVoiceIndex(speechIndex);
    if (index < 0 || index >= static_cast<int>(m_Voices.size())) return "ERROR: Voice is not available";
    return m_Voices[static_cast<size_t>(index)].m_Name;
}

int VoiceManager::addVoiceSet(const std::string& name) {
    Lock lock(m_Lock);
    voiceSets.push_back({name, {}});
    return static_cast<int>(voiceSets.size()) - 1;
}

const char** VoiceManager::getVoiceSetNames(int& count) {
    Lock lock(m_Lock);
    currentSet();
    count = static_cast<int>(voiceSets.size());
    const char** names = new const char*[voiceSets.size()];
    for (size_t i = 0; i < voiceSets.size(); ++i) names[i] = voiceSets[i].name.c_str();
    return names;
}

std::string VoiceManager::getVoiceSetName() {
    Lock lock(m_Lock);
    return currentSet().name;
}

bool VoiceManager::selectVoiceSet(int index) {
    Lock lock(m_Lock);
    if (index < 0 || index >= static_cast<int>(voiceSets.size())) return false;
    currentvoiceSet = index;
    initVoiceSelections();
    return true;
}

void VoiceManager::resetUsageData() {
    const time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    char date[32];
    strftime(date, sizeof date, "%Y-%m-%d", &local);
    {
        Lock lock(m_Lock);
        usageDate = date;
    }
    for (const auto& service : services) {
        service->totalCharacters = 0;
        service->totalApiCalls = 0;
    }
}

std::string VoiceManager::getUsageData() const {
    unsigned long long characters = 0, calls = 0;
    for (const auto& service : services) {
        characters += service->totalCharacters;
        calls += service->totalApiCalls;
    }
    return "Total Characters : " + formatWithCommasManual(characters) +
           " Total API Calls : " + formatWithCommasManual(calls);
}

VoiceManager* getVoiceManager() {
    if (!gVoiceManager) gVoiceManager = std::make_unique<VoiceManager>();
    return gVoiceManager.get();
}

void removeVoiceManager() { gVoiceManager.reset(); }
