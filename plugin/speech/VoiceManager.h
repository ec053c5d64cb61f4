// The speech services and their voices merged into one numbered voice list,
// the roles voices play (controller, AI-traffic pilot, crew) kept in named
// voice sets, the speech configuration file "ttsSettings.json", and the
// speech queue that speaks texts on the speech channel.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <queue>
#include <string>
#include <vector>

#include "TTSBase.h"
#include "TextToSpeech.h"
#include "Voice.h"

// The roles of one voice in one voice set.
struct VoiceSelection {
    std::string key;  // the voice's selection key
    bool m_Atc = false;
    bool m_TrafficPilot = false;
    CrewRole m_crewRole = CREW_NONE;
};

struct VoiceSet {
    std::string name;
    std::map<std::string, VoiceSelection> voiceSelections;  // by selection key
};

// Speech indexes name a voice by role: the crew, or the n-th controller voice (from 0).
enum { SPEECH_INDEX_PILOT = -1, SPEECH_INDEX_COPILOT = -2, SPEECH_INDEX_FLIGHT_ATTENDANT = -3 };

class VoiceManager {
public:
    // Creates the services, reads the configuration and builds the voice list.
    VoiceManager();
    // Ends the speech in preparation, saves the configuration.
    ~VoiceManager();
    VoiceManager(const VoiceManager&) = delete;
    VoiceManager& operator=(const VoiceManager&) = delete;

    // ---- services and the voice list -------------------------------------
    // Replaces the services by new ones: Amazon Polly, VoiceRSS, Lemonfox.ai, OpenAI.
    void getTTSServices();
    // Rebuilds the list from the enabled services and applies the current set.
    void refreshVoices();
    void initVoiceSelections();
    // Stores the roles of the listed voices of enabled services in the current set.
    void saveVoiceSelections();
    // Voice 0 plays every role, the others none.
    void resetSelections();
    int countAtcVoices(bool refresh);
    // A clone changed (name, instructions), was added, or is to go (`remove`).
    void updateVoice(const Voice& voice, bool remove);
    int findVoiceIndex(const TTSBase* service, int ttsIndex) const;
    int countEnabledServices() const;
    // "<service>_<id>_<name>": survives changes of the voice list.
    static std::string selectionKey(const Voice& voice);

    // ---- choosing voices ---------------------------------------------------
    int getPilotVoiceIndex() const;           // 0 when no voice is the pilot
    int getCoPilotVoiceIndex() const;         // -1 when none
    int getFlightAttendantVoiceIndex() const; // -1 when none
    // The controller voice of Zuruvo ZEV; `next` asks for a new controller's voice.
    int getAtcVoiceIndex(bool next);
    // The voice index of a speech index, or -1.
    int speechIndextoVoiceIndex(int speechIndex) const;
    // The voice's name, or the error text the voice-description dataref shows.
    std::string getTTSVoiceDescription(int speechIndex) const;

    // ---- voice sets --------------------------------------------------------
    int addVoiceSet(const std::string& name);
    // The names in a new array the caller deletes (the texts stay the sets').
    const char** getVoiceSetNames(int& count);
    std::string getVoiceSetName();
    // False, changing nothing, for an index that names no set.
    bool selectVoiceSet(int index);

    // ---- configuration and usage -------------------------------------------
    void readSettings();
    // Reads the configuration from `text`, the content of `path`; false, with
    // the message shown, when any of it could not be read.
    bool readSettingsText(const std::string& text, const std::string& path);
    // The configuration as saveSettings writes it.
    std::string settingsText() const;
    bool saveSettings();
    void resetUsageData();
    std::string getUsageData() const;

    // ---- the speech queue (simulator thread) ---------------------------------
    void addSpeech(const std::string& text, int voiceIndex, float delay, bool translateVoiceIndex);
    // A voice-index sample from the voices tab.
    void playSample(int voiceIndex, const std::string& text);
    bool hasQueuedSpeech() const { return !speechQueue.empty(); }
    // One step per frame: start the front request's synthesis, or play it once ready.
    void processTextToSpeech();

    // ---- the radio road (Zuruvo ZEV's speech thread) -----------------------------
    // Synthesises a call in the controller's voice (`atcTransmission`) or the
    // pilot's into the transmission audio file; returns that file's path,
    // which the chatter thread plays on the radio.
    std::string speak(bool atcTransmission, const std::string& text);

    using Lock = std::lock_guard<std::recursive_mutex>;
    // Guards everything below except the queue and the services: Zuruvo ZEV's
    // speech thread chooses voices while the simulator thread may rebuild the list.
    mutable std::recursive_mutex m_Lock;
    std::vector<Voice> m_Voices;
    std::map<std::string, int> ttsVoiceToIndex;  // "<service>_<ttsIndex>" to voice index
    std::vector<VoiceSet> voiceSets;
    std::vector<std::unique_ptr<TTSBase>> services;
    int currentvoiceSet = 0;
    std::string usageDate;  // "%Y-%m-%d" of the day the usage counters started
    std::queue<TextToSpeech> speechQueue;  // a deque: requests stay in place while queued
    int atcVoiceCount = 0;
    int lastAtcVoiceIndex = 0;
    int lastAtcFreq = 0;

private:
    VoiceSet& currentSet();
    void clearSpeechQueue();
};

// The one voice manager, created on first use on the simulator thread.
VoiceManager* getVoiceManager();
// Deletes it (saving the configuration); the next getVoiceManager() creates a new one.
void removeVoiceManager();
