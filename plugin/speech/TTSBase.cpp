#include "TTSBase.h"

#include <cmath>
#include <exception>
#include <limits>
#include <stdexcept>

#include "MachineId.h"
#include "StringCipher.h"
#include "common/Common.h"
#include "panels/MsgBox.h"

bool TTSBase::isEnabled() const { return usesKey ? enabled && !apiKey.empty() : enabled; }

int TTSBase::getStatus(std::string& status) const {
    if (!enabled) {
        status = "Disabled";
        return TTS_STATUS_WARNING;
    }
    if (usesKey && apiKey.empty()) {
        status = "You must enter an API Key";
        return TTS_STATUS_WARNING;
    }
    status = std::to_string(m_Voices.size()) + " voices are available";
    return TTS_STATUS_SUCCESS;
}

nlohmann::json TTSBase::toJson() const {
    nlohmann::json j;
    j["Name"] = getServiceName();
    j["Enabled"] = enabled;
    j["Total Characters"] = totalCharacters.load();
    j["Total API Calls"] = totalApiCalls.load();
    if (usesKey) {
        std::string stored;
        try {
            stored = encryptApiKey(apiKey);
        } catch (const std::exception& e) {
            // A key that cannot be bound to this computer is not stored in clear text either.
            sLogMsg("Unable to store the %s API Key: %s", getServiceName().c_str(), e.what());
        }
        j["ApiKey"] = stored;
    }
    return j;
}

std::string TTSBase::fromJson(nlohmann::json& j) {
    return readGuarded([&] { readCommonFields(j, getServiceName()); });
}

std::string TTSBase::readGuarded(const std::function<void()>& read) {
    try {
        read();
    } catch (const std::exception&) {
        return "[ERROR] Unexpected error while reading " + getServiceName() + "TTS settings";
    }
    return {};
}

namespace {

// A counter as stored; a number it cannot hold is an error, not a wrapped value.
uint32_t readCounter(const nlohmann::json& value) {
    const double number = value.get<double>();
    if (!(number >= 0.0 && number <= std::numeric_limits<uint32_t>::max())) throw std::out_of_range("counter");
    return static_cast<uint32_t>(number);
}

}  // namespace

void TTSBase::readCommonFields(const nlohmann::json& j, const std::string& keyOwner) {
    enabled = j.at("Enabled").get<bool>();
    totalCharacters = readCounter(j.at("Total Characters"));
    totalApiCalls = readCounter(j.at("Total API Calls"));
    if (!usesKey) return;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        apiKey.clear();  // a stored key that cannot be read leaves none
    }
    std::string key;
    bool sameComputer = decryptApiKey(j.at("ApiKey").get<std::string>(), key);
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        apiKey = key;
    }
    if (!sameComputer)
        msgBox("Quillon ERROR", "Your " + keyOwner +
                                    " API Key was previously encrypted on a different computer.\n\nYou will need to "
                                    "reenter the API key.");
}

std::string TTSBase::getUsage() const {
    return "Total Characters: " + formatWithCommasManual(totalCharacters.load()) +
           " Total API Calls: " + formatWithCommasManual(totalApiCalls.load());
}

void TTSBase::reportCharacterUsage(int count) {
    if (count > 0) totalCharacters += static_cast<uint32_t>(count);
    ++totalApiCalls;
}

std::string TTSBase::encryptApiKey(const std::string& key) const {
    if (key.empty()) return {};
    std::string id = MachineId::get();
    // The identifier is also the start of the plain text, so a key read back
    // on another computer is recognised instead of yielding garbage.
    return StringCipher::encrypt(id + key, id);
}

bool TTSBase::decryptApiKey(const std::string& stored, std::string& out) const {
    out.clear();
    if (stored.empty()) return true;
    std::string id = MachineId::get();
    std::string plain = StringCipher::decrypt(stored, id);
    if (plain.compare(0, id.size(), id) != 0) return false;
    out = plain.substr(id.size());
    return true;
}

bool TTSBase::takeRequest(int voiceIndex, Request& request) const {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (voiceIndex < 0 || static_cast<size_t>(voiceIndex) >= m_Voices.size()) {
        sLogMsg("ERROR: %s has no voice %d", getServiceName().c_str(), voiceIndex);
        return false;
    }
    request.voice = m_Voices[static_cast<size_t>(voiceIndex)];
    request.key = apiKey;
    return true;
}
