#include "LemonFoxManager.h"

#include "CurlSpeech.h"
#include "FixedVoices.h"
#include "ServiceRequest.h"

LemonFoxManager::LemonFoxManager() {
    enabled = true;
    usesKey = true;
    appendFixedVoices(*this, {
        {"en-us", {"Heart", "Bella", "Michael", "Alloy", "Aoede", "Kore", "Jessica", "Nicole", "Nova", "River",
                   "Sarah", "Sky", "Echo", "Eric", "Finrir", "Liam", "Onyx", "Puck", "Adam", "Santa"}},
        {"en-gb", {"Alice", "Emma", "Isabella", "Lily", "Daniel", "Fable", "George", "Lewis"}},
        {"ja-jp", {"Sakura", "Gongitsune", "Nezumi", "Tebukuro", "Kumo"}},
        {"zh-cn", {"Xiaobei", "Xiaoni", "Xiaoxiao", "Xiaoyi", "Yunjian", "Yunxi", "Yunxia", "Yunyang"}},
        {"es-es", {"Dora", "Alex", "Noel"}},
        {"fr-fr", {"Siwis"}},
        {"hi-in", {"Alpha", "Beta", "Omega", "Psi"}},
        {"it-it", {"Sara", "Nicola"}},
        {"pt-br", {"Clara", "Tiago", "Papai"}},
    });
}

bool LemonFoxManager::createWaveFile(const std::string& fileName, int voiceIndex, const std::string& text) {
    Request request;
    if (!takeRequest(voiceIndex, request)) return false;
    nlohmann::json body;
    body["voice"] = request.voice.id;
    body["response_format"] = "mp3";
    body["input"] = text;
    body["language"] = request.voice.language_code;
    std::string url = serviceBaseUrl("QUILLON_LEMONFOX_URL", "https://api.lemonfox.ai") + "/v1/audio/speech";
    // Text that is not valid UTF-8 is sent with replacement characters rather than not at all.
    std::string json = body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (!postSpeechRequest(getServiceName(), url, request.key, json, fileName)) return false;
    reportCharacterUsage(static_cast<int>(text.size()));
    return true;
}

std::string LemonFoxManager::fromJson(nlohmann::json& j) {
    return readGuarded([&] { readCommonFields(j, "LemonFox"); });
}
