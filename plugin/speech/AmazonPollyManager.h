// Amazon Polly through the AWS command-line tool, which brings the user's own
// AWS configuration; no key is stored here.
#pragma once

#include <string>
#include <vector>

#include "TTSBase.h"

class AmazonPollyManager : public TTSBase {
public:
    // Finds the tool and asks it for the voices; blocks until it has answered.
    AmazonPollyManager();
    // The same, looking for the tool first at `knownLocations`, then on the search path.
    explicit AmazonPollyManager(const std::vector<std::string>& knownLocations);

    bool createWaveFile(const std::string& fileName, int voiceIndex, const std::string& text) override;
    std::string getServiceName() const override { return "AWS"; }
    int getStatus(std::string& status) const override;

    std::string awsCommand = "aws";
    std::string m_StatusMessage = "Unknown Error";
    int m_Status = TTS_STATUS_ERROR;

private:
    void enumerateVoices();
    bool addVoices(const std::string& output);
};
