// A text-to-speech service: its voices, whether it is usable, what it has
// spoken, its object in the speech configuration, and the one synthesis call.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Voice.h"

enum { TTS_STATUS_SUCCESS = 0, TTS_STATUS_WARNING = 1, TTS_STATUS_ERROR = 2 };

class TTSBase {
public:
    TTSBase() = default;
    virtual ~TTSBase() = default;
    TTSBase(const TTSBase&) = delete;
    TTSBase& operator=(const TTSBase&) = delete;

    // Service-specific controls in the services tab.
    virtual void buildCustomOptionsUI() {}
    // Writes the audio of `text` spoken by voice `voiceIndex` (a position in
    // m_Voices) to `fileName`. Blocks until the service has answered; never
    // called on the simulator thread. On failure the user has been told.
    virtual bool createWaveFile(const std::string& fileName, int voiceIndex, const std::string& text) = 0;
    // Also the service's key in the configuration and the start of its voice keys.
    virtual std::string getServiceName() const = 0;
    virtual bool isEnabled() const;
    // A one-line status for the services tab; returns a TTS_STATUS_ code.
    virtual int getStatus(std::string& status) const;
    virtual nlohmann::json toJson() const;
    // Returns the error text, empty when the object was read entirely.
    virtual std::string fromJson(nlohmann::json& j);
    // Whether createWaveFile writes WAV rather than MP3.
    virtual bool usesWAV() const { return false; }

    std::string getUsage() const;
    void reportCharacterUsage(int count);
    // The stored form of a key, bound to this computer; throws when the machine has no identifier.
    std::string encryptApiKey(const std::string& key) const;
    // False (and `out` empty) for a key stored on another computer; throws for a value that is not hex.
    bool decryptApiKey(const std::string& stored, std::string& out) const;

    std::vector<Voice> m_Voices;
    std::string apiKey;
    bool usesKey = false;
    // Synthesis calls on several threads count here at once.
    std::atomic<uint32_t> totalCharacters{0};
    std::atomic<uint32_t> totalApiCalls{0};
    bool enabled = false;

    // Guards m_Voices and apiKey: a synthesis thread copies what it needs
    // under it, and whoever changes either on the simulator thread holds it.
    mutable std::mutex m_Lock;

    // What one synthesis call needs, copied so that the list may change meanwhile.
    struct Request {
        Voice voice;
        std::string key;
    };

protected:
    // False, with a logged line, when the index names no voice.
    bool takeRequest(int voiceIndex, Request& request) const;

    // Runs `read` and turns any error into the service's error text.
    std::string readGuarded(const std::function<void()>& read);
    // Enabled, the counters and, for a service with a key, the key; `keyOwner`
    // names the service in the notice about a key from another computer.
    void readCommonFields(const nlohmann::json& j, const std::string& keyOwner);
};
