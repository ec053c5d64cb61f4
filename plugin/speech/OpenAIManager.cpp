#include "OpenAIManager.h"

#include <cmath>
#include <limits>

#include "CurlSpeech.h"
#include "FixedVoices.h"
#include "ServiceRequest.h"

namespace {

const char* const DEFAULT_INSTRUCTIONS =
    "Voice: Clear, authoritative, and composed, projecting confidence and professionalism.\n\n"
    "Tone: Neutral and informative, maintaining a balance between formality and approachability.\n\n"
    "Punctuation: Structured with commas and pauses for clarity, ensuring information is digestible and "
    "well-paced.\n\n"
    "Delivery: Steady and measured, with slight emphasis on key figures and deadlines to highlight critical points.";

}  // namespace

OpenAIManager::OpenAIManager() {
    enabled = true;
    usesKey = true;
    appendFixedVoices(*this, {
        {"en-us", {"alloy", "ash"}},
        {"en-gb", {"ballad"}},
        {"en-us", {"cedar", "coral", "echo", "fable", "marin", "onyx", "sage", "shimmer", "verse", "nova"}},
    });
    for (Voice& voice : m_Voices) voice.instructions = DEFAULT_INSTRUCTIONS;
}

bool OpenAIManager::createWaveFile(const std::string& fileName, int voiceIndex, const std::string& text) {
    Request request;
    if (!takeRequest(voiceIndex, request)) return false;
    nlohmann::json body;
    body["model"] = "gpt-4o-mini-tts-2025-03-20";
    body["voice"] = request.voice.id;
    body["input"] = text;
    body["instructions"] = request.voice.instructions;
    // The service refuses speeds outside its range; without one it speaks at normal speed.
    float speed = request.voice.speed;
    if (speed >= 0.25f && speed <= 4.0f) body["speed"] = std::round(speed * 1000.0) / 1000.0;
    std::string url = serviceBaseUrl("QUILLON_OPENAI_URL", "https://api.openai.com") + "/v1/audio/speech";
    std::string json = body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (!postSpeechRequest(getServiceName(), url, request.key, json, fileName)) return false;
    reportCharacterUsage(static_cast<int>(text.size()));
    return true;
}

nlohmann::json OpenAIManager::toJson() const {
    nlohmann::json j = TTSBase::toJson();
    nlohmann::json clones = nlohmann::json::array();
    for (const Voice& voice : m_Voices) {
        if (!voice.isClone) continue;
        clones.push_back({{"Id", voice.id}, {"Name", voice.m_Name}, {"Instructions", voice.instructions},
                          {"Speed", voice.speed}});
    }
    if (!clones.empty()) j["Clones"] = clones;
    return j;
}

std::string OpenAIManager::fromJson(nlohmann::json& j) {
    return readGuarded([&] {
        readCommonFields(j, getServiceName());
        std::lock_guard<std::mutex> lock(m_Lock);
        // Reading again replaces the clones instead of doubling them.
        while (!m_Voices.empty() && m_Voices.back().isClone) m_Voices.pop_back();
        if (!j.contains("Clones") || !j["Clones"].is_array()) return;
        for (const auto& stored : j["Clones"]) {
            Voice clone;
            clone.isClone = true;
            clone.id = stored.at("Id").get<std::string>();
            clone.m_Name = stored.at("Name").get<std::string>();
            clone.instructions = stored.at("Instructions").get<std::string>();
            if (stored.contains("Speed") && stored["Speed"].is_number_float()) {
                // A speed a float cannot hold is no speed.
                const double speed = stored["Speed"].get<double>();
                if (std::fabs(speed) <= std::numeric_limits<float>::max()) clone.speed = static_cast<float>(speed);
            }
            clone.ttsIndex = static_cast<int>(m_Voices.size());
            clone.pTTSEngine = this;
            m_Voices.push_back(clone);
        }
    });
}

const char** OpenAIManager::getBaseVoiceNames(int& count) const {
    count = 0;
    for (const Voice& voice : m_Voices)
        if (!voice.isClone) ++count;
    if (count == 0) return nullptr;
    const char** names = new const char*[static_cast<size_t>(count)];
    int i = 0;
    for (const Voice& voice : m_Voices)
        if (!voice.isClone) names[i++] = voice.id.c_str();
    return names;
}
