#include "FixedVoices.h"

#include <map>

std::string languageDisplayName(const std::string& code) {
    static const std::map<std::string, std::string> names = {
        {"en-au", "English (Australia)"},     {"en-ca", "English (Canada)"},
        {"en-gb", "English (Great Britain)"}, {"en-in", "English (India)"},
        {"en-ie", "English (Ireland)"},       {"en-us", "English (United States)"},
        {"fr-fr", "French (France)"},         {"fr-ca", "French (Canada)"},
        {"fr-ch", "French (Switzerland)"},    {"de-de", "German (Germany)"},
        {"pt-br", "Portuguese (Brazil)"},     {"de-ch", "German (Switzerland)"},
        {"de-at", "German (Austria)"},        {"hi-in", "Hindi"},
        {"it-it", "Italian"},                 {"ja-jp", "Japanese"},
        {"es-mx", "Spanish (Mexico)"},        {"es-es", "Spanish (Spain)"},
        {"zh-cn", "Chinese (China)"},         {"zh-hk", "Chinese (Hong Kong)"},
        {"zh-tw", "Chinese (Taiwan)"},
    };
    auto found = names.find(code);
    return found == names.end() ? code : found->second;
}

void appendFixedVoices(TTSBase& service, const std::vector<VoiceGroup>& groups) {
    for (const auto& group : groups) {
        for (const char* id : group.ids) {
            Voice voice;
            voice.id = id;
            voice.language_code = group.languageCode;
            voice.language = languageDisplayName(voice.language_code);
            voice.m_Name = voice.language + " - " + voice.id;
            voice.ttsIndex = static_cast<int>(service.m_Voices.size());
            voice.pTTSEngine = &service;
            service.m_Voices.push_back(voice);
        }
    }
}
