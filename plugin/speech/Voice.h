// One voice of one speech service.
#pragma once

#include <string>

class TTSBase;

enum CrewRole { CREW_NONE = 0, CREW_PILOT = 1, CREW_COPILOT = 2, CREW_FLIGHT_ATTENDENT = 3 };

// Copyable: the service keeps the master list, the voice manager keeps copies.
struct Voice {
    std::string m_Name;         // shown in lists and in the voice-description dataref
    std::string engine;         // engine variant (Amazon Polly)
    std::string id;             // what the service is asked for
    std::string language;       // display name, e.g. "English (Great Britain)"
    std::string language_code;  // e.g. "en-gb"
    float speed = 1.0f;         // OpenAI
    std::string instructions;   // OpenAI speaking style
    bool isClone = false;       // a user-made copy of an OpenAI base voice
    bool keep = true;           // cleared when the user deletes a clone
    bool m_Atc = true;
    bool m_TrafficPilot = true;
    CrewRole m_crewRole = CREW_PILOT;
    int ttsIndex = 0;                 // position in its service's own list
    TTSBase* pTTSEngine = nullptr;    // not owned

    const std::string& getName() const { return m_Name; }
};
