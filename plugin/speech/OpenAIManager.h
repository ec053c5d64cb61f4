// OpenAI: a web service with a fixed list of base voices, a bearer key, and
// clones: user-made voices that speak a base voice with their own style and speed.
#pragma once

#include "TTSBase.h"

class OpenAIManager : public TTSBase {
public:
    OpenAIManager();

    bool createWaveFile(const std::string& fileName, int voiceIndex, const std::string& text) override;
    std::string getServiceName() const override { return "OpenAI"; }
    nlohmann::json toJson() const override;
    std::string fromJson(nlohmann::json& j) override;

    // The ids of the base voices, in a new array the caller deletes; null and 0 when there is none.
    const char** getBaseVoiceNames(int& count) const;

    int currentVoiceToClone = 0;  // the base voice chosen in the clone combo
};
