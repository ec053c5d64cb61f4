// The fixed voice lists of the web services.
#pragma once

#include <string>
#include <vector>

#include "TTSBase.h"

// Voices sharing a language code, in list order.
struct VoiceGroup {
    const char* languageCode;
    std::vector<const char*> ids;
};

// "English (Great Britain)" for "en-gb"; the code itself when it is unknown.
std::string languageDisplayName(const std::string& code);

// Appends one voice per id, named "<language> - <id>", numbered by position.
void appendFixedVoices(TTSBase& service, const std::vector<VoiceGroup>& groups);
