// The voice manager under test: a speech service that speaks without a
// network and records how it was called, and a fixture with a clean settings
// record and no AWS tool in reach.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Settings.h"
#include "audio/Sound.h"
#include "SpeechStandIns.h"
#include "speech/VoiceManager.h"

// One synthesis as the fake service saw it.
struct SynthesisCall {
    std::thread::id thread;
    bool onSimulatorThread;
    bool speechAudible;  // the speech channel was playing
    int voiceIndex;
    std::string text;
    std::chrono::steady_clock::time_point start;
};

class FakeSpeech : public TTSBase {
public:
    FakeSpeech(std::string name, int voiceCount) : m_ServiceName(std::move(name)) {
        enabled = true;
        for (int i = 0; i < voiceCount; ++i) {
            Voice voice;
            voice.id = "v" + std::to_string(i);
            voice.m_Name = m_ServiceName + " voice " + std::to_string(i);
            voice.ttsIndex = i;
            voice.pTTSEngine = this;
            m_Voices.push_back(voice);
        }
    }

    bool createWaveFile(const std::string& fileName, int voiceIndex, const std::string& text) override {
        {
            std::lock_guard<std::mutex> lock(m_CallsLock);
            m_Calls.push_back({std::this_thread::get_id(), isSimulatorThread(), isSoundPlaying(TTS_SOURCE), voiceIndex,
                               text, std::chrono::steady_clock::now()});
        }
        std::this_thread::sleep_for(synthesisTime);
        if (fail) return false;
        writeBytes(fileName, toneMp3());
        reportCharacterUsage(static_cast<int>(text.size()));
        return true;
    }
    std::string getServiceName() const override { return m_ServiceName; }

    std::vector<SynthesisCall> calls() const {
        std::lock_guard<std::mutex> lock(m_CallsLock);
        return m_Calls;
    }

    std::chrono::milliseconds synthesisTime{0};
    std::atomic<bool> fail{false};

private:
    std::string m_ServiceName;
    mutable std::mutex m_CallsLock;
    std::vector<SynthesisCall> m_Calls;
};

class VoiceTest : public SpeechTest {
protected:
    void SetUp() override {
        SpeechTest::SetUp();
        gSettings = Settings();
        m_Path = std::make_unique<ScopedEnv>("PATH", "/usr/bin:/bin");
    }
    void TearDown() override {
        m_Path.reset();
        gSettings = Settings();
        SpeechTest::TearDown();
    }

    // A manager that speaks through fake services, each with that many voices,
    // starting as if `legacy` were the selection text of an older version.
    static std::unique_ptr<VoiceManager> fakeManager(const std::vector<int>& voiceCounts,
                                                     const std::string& legacy = "") {
        auto manager = std::make_unique<VoiceManager>();
        manager->services.clear();
        for (size_t i = 0; i < voiceCounts.size(); ++i)
            manager->services.push_back(std::make_unique<FakeSpeech>("Fake" + std::to_string(i), voiceCounts[i]));
        gSettings.oldVoiceSelections = legacy;
        manager->refreshVoices();
        return manager;
    }
    static FakeSpeech& fake(VoiceManager& manager, size_t service) {
        return static_cast<FakeSpeech&>(*manager.services[service]);
    }

    // Gives voice `index` these roles in the current set.
    static void setRoles(VoiceManager& manager, size_t index, bool atc, bool trafficPilot, CrewRole role) {
        manager.m_Voices[index].m_Atc = atc;
        manager.m_Voices[index].m_TrafficPilot = trafficPilot;
        manager.m_Voices[index].m_crewRole = role;
    }

    std::string settingsPath() const { return pluginFolder + "ttsSettings.json"; }

private:
    std::unique_ptr<ScopedEnv> m_Path;
};
