// "ttsSettings.json" is the user's file and may hold anything: reading it
// never crashes, and whatever was read is written back in a form that reads
// again without an error and stays the same from then on.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "FuzzHost.h"
#include "Settings.h"
#include "panels/MsgBox.h"
#include "speech/LemonFoxManager.h"
#include "speech/OpenAIManager.h"
#include "speech/VoiceManager.h"
#include "speech/VoiceRSS.h"

namespace {

VoiceManager& manager() {
    static VoiceManager* instance = [] {
        fuzzPluginFolder();
        setenv("PATH", "/usr/bin:/bin", 1);  // no AWS tool: it would be asked for voices
        return new VoiceManager;
    }();
    return *instance;
}

// The services as created, keeping the one that asked the AWS tool at start.
void freshServices(VoiceManager& voices) {
    voices.services.resize(1);
    voices.services[0]->enabled = false;
    voices.services[0]->totalCharacters = 0;
    voices.services[0]->totalApiCalls = 0;
    voices.services.push_back(std::make_unique<VoiceRSSManager>());
    voices.services.push_back(std::make_unique<LemonFoxManager>());
    voices.services.push_back(std::make_unique<OpenAIManager>());
    voices.voiceSets = {{"Default", {}}};
    voices.currentvoiceSet = 0;
}

std::string reread(VoiceManager& voices, const std::string& text) {
    freshServices(voices);
    if (!voices.readSettingsText(text, "ttsSettings.json")) abort();
    return voices.settingsText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VoiceManager& voices = manager();
    freshServices(voices);
    voices.readSettingsText(std::string(reinterpret_cast<const char*>(data), size), "ttsSettings.json");
    if (voices.voiceSets.empty()) abort();
    const std::string written = voices.settingsText();

    const std::string again = reread(voices, written);
    if (reread(voices, again) != again) abort();

    voices.refreshVoices();
    for (int speechIndex = -4; speechIndex < 3; ++speechIndex) voices.getTTSVoiceDescription(speechIndex);
    voices.getAtcVoiceIndex(true);
    getMsgBoxManager()->m_MsgBoxRequests.clear();
    return 0;
}
