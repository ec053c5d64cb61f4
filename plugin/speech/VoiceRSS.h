// VoiceRSS: a web service with a fixed voice list, a key sent as a form field,
// and plain-text error answers.
#pragma once

#include "TTSBase.h"

class VoiceRSSManager : public TTSBase {
public:
    VoiceRSSManager();

    bool createWaveFile(const std::string& fileName, int voiceIndex, const std::string& text) override;
    std::string getServiceName() const override { return "VoiceRSS"; }
};
