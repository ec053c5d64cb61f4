#include "AmazonPollyManager.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <nlohmann/json.hpp>

#include "ServiceRequest.h"
#include "common/ChildProcess.h"
#include "common/Common.h"
#include "panels/MsgBox.h"

namespace {

// The tool's output as one line: line breaks become spaces.
std::string flatten(std::string output) {
    std::replace(output.begin(), output.end(), '\r', ' ');
    std::replace(output.begin(), output.end(), '\n', ' ');
    return output;
}

void toolNotDetected() { logMsg("Amazon Web services not detected"); }

bool unableToCreate() {
    logMsg("ERROR: Amazon Polly Manager was unable to create the audio file");
    msgBox("ERROR", "Amazon Polly Manager was unable to create the audio file");
    return false;
}

bool fileHoldsMp3(const std::string& fileName) {
    FILE* file = fopen(fileName.c_str(), "rb");
    if (!file) return false;
    std::string head(4096, '\0');
    head.resize(fread(&head[0], 1, head.size(), file));
    fclose(file);
    return isMp3Audio(head);
}

}  // namespace

AmazonPollyManager::AmazonPollyManager()
    : AmazonPollyManager({"/usr/local/bin/aws", "/usr/bin/aws", "/run/current-system/sw/bin/aws"}) {}

AmazonPollyManager::AmazonPollyManager(const std::vector<std::string>& knownLocations) {
    usesKey = false;
    auto found = std::find_if(knownLocations.begin(), knownLocations.end(), fileExists);
    if (found != knownLocations.end())
        awsCommand = *found;
    else
        logMsg("Unable to find AWS in either /usr/local/bin or /usr/bin");
    enumerateVoices();
}

void AmazonPollyManager::enumerateVoices() {
    ChildProcessResult run =
        runChildProcess({awsCommand, "polly", "describe-voices"}, speechTimeouts().enumerateMilliseconds);
    if (!run.outputAvailable || !run.started) {
        toolNotDetected();
        m_StatusMessage = "Amazon Web services not detected";
        m_Status = TTS_STATUS_ERROR;
        return;
    }
    if (run.timedOut)
        sLogMsg("Amazon Polly: the AWS tool did not list the voices within %.1f seconds",
                speechTimeouts().enumerateMilliseconds / 1000.0);
    std::string output = flatten(run.output);
    // Voice names are shown as plain ASCII.
    for (char& c : output)
        if (static_cast<unsigned char>(c) & 0x80) c = ' ';

    if (addVoices(output)) {
        m_StatusMessage = std::to_string(m_Voices.size()) + " voices are available";
        m_Status = TTS_STATUS_SUCCESS;
    } else {
        sLogMsg("Amazon Polly failed to enumerate voices. AWS Response:\n%s", output.c_str());
        m_StatusMessage = "Amazon Polly failed to enumerate voices. AWS Response:" + output;
        m_Status = TTS_STATUS_ERROR;
    }
    enabled = true;  // the tool is there
}

bool AmazonPollyManager::addVoices(const std::string& output) {
    if (output.find("\"Voices\":") == std::string::npos) return false;
    try {
        nlohmann::json j = nlohmann::json::parse(output);
        if (!j.contains("Voices") || !j["Voices"].is_array()) return false;
        for (const auto& entry : j["Voices"]) {
            auto text = [&entry](const char* key) {
                return entry.contains(key) && entry[key].is_string() ? entry[key].get<std::string>() : std::string();
            };
            std::string name = text("Name");
            std::string id = text("Id");
            std::string languageName = text("LanguageName");
            if (!entry.contains("LanguageCode") || !entry["LanguageCode"].is_string() ||
                !entry.contains("SupportedEngines") || !entry["SupportedEngines"].is_array())
                continue;
            for (const auto& engine : entry["SupportedEngines"]) {
                if (!engine.is_string()) continue;
                Voice voice;
                voice.id = id;
                voice.language = languageName;
                voice.engine = engine.get<std::string>();
                voice.m_Name = "Amazon Polly - " + languageName + " - " + name + " - (" + voice.engine + ")";
                voice.ttsIndex = static_cast<int>(m_Voices.size());
                voice.pTTSEngine = this;
                m_Voices.push_back(voice);
            }
        }
    } catch (const std::exception&) {
        m_Voices.clear();
        return false;
    }
    return !m_Voices.empty();
}

int AmazonPollyManager::getStatus(std::string& status) const {
    if (!enabled) {
        status = "Disabled";
        return TTS_STATUS_WARNING;
    }
    status = m_StatusMessage;
    return m_Status;
}

bool AmazonPollyManager::createWaveFile(const std::string& fileName, int voiceIndex, const std::string& text) {
    Request request;
    if (!takeRequest(voiceIndex, request)) return false;
    std::string cleaned = text;
    std::replace(cleaned.begin(), cleaned.end(), '\'', ' ');
    // What is there afterwards must come from this call.
    std::remove(fileName.c_str());

    ChildProcessResult run = runChildProcess({awsCommand, "polly", "synthesize-speech", "--output-format", "mp3",
                                              "--voice-id", request.voice.id, "--engine", request.voice.engine,
                                              "--text", cleaned, fileName},
                                             speechTimeouts().requestMilliseconds);
    if (!run.outputAvailable) return unableToCreate();
    if (!run.started) {
        toolNotDetected();
        msgBox("ERROR", "Amazon Polly Manager: Amazon Web Services not detected");
        return false;
    }
    if (run.timedOut || run.exitStatus != 0 || !fileHoldsMp3(fileName)) {
        if (run.timedOut)
            sLogMsg("Amazon Polly: the AWS tool did not finish within %.1f seconds",
                    speechTimeouts().requestMilliseconds / 1000.0);
        else if (run.exitStatus != 0)
            sLogMsg("Amazon Polly: the AWS tool ended with status %d: %s", run.exitStatus, flatten(run.output).c_str());
        else
            sLogMsg("Amazon Polly: the AWS tool wrote no MP3 audio: %s", flatten(run.output).c_str());
        std::remove(fileName.c_str());
        return unableToCreate();
    }
    reportCharacterUsage(static_cast<int>(text.size()));
    return true;
}
