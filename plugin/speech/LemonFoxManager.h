// Lemonfox.ai: a web service with a fixed voice list and a bearer key.
#pragma once

#include "TTSBase.h"

class LemonFoxManager : public TTSBase {
public:
    LemonFoxManager();

    bool createWaveFile(const std::string& fileName, int voiceIndex, const std::string& text) override;
    std::string getServiceName() const override { return "Lemonfox.ai"; }
    std::string fromJson(nlohmann::json& j) override;
};
