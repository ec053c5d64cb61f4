// The two roads from text to sound: the queue, spoken on the speech channel
// one request at a time, and Zuruvo ZEV's calls, synthesised for the radio.
#include "SimState.h"
#include "VoiceManager.h"
#include "audio/FmodManager.h"
#include "audio/Sound.h"
#include "common/Common.h"
#include "panels/MsgBox.h"

namespace {

const char* crewName(int speechIndex) {
    switch (speechIndex) {
        case SPEECH_INDEX_PILOT: return "Pilot";
        case SPEECH_INDEX_COPILOT: return "Copilot";
        case SPEECH_INDEX_FLIGHT_ATTENDANT: return "Flight Attendant";
        default: return "Unknown";
    }
}

}  // namespace

void VoiceManager::addSpeech(const std::string& text, int voiceIndex, float delay, bool translateVoiceIndex) {
    bool noVoices;
    {
        Lock lock(m_Lock);
        noVoices = m_Voices.empty();
    }
    if (!text.empty() && !noVoices) {
        speechQueue.emplace(text, voiceIndex, delay, translateVoiceIndex);
        return;
    }
    if (noVoices) logMsg("ERROR: There are no Text To Speech voices available");
    if (text.empty() && !FmodManager::XPSoundIsAvail())
        logMsg("ERROR: The FMOD Sound engine is not available in this version of X-Plane");
}

void VoiceManager::playSample(int voiceIndex, const std::string& text) { addSpeech(text, voiceIndex, 0, false); }

void VoiceManager::processTextToSpeech() {
    if (speechQueue.empty() || isSoundPlaying(TTS_SOURCE)) return;
    TextToSpeech& request = speechQueue.front();
    if (request.isLoading()) {
        if (!request.isReadyToPlay()) return;
        request.play();
        speechQueue.pop();
        return;
    }
    TTSBase* service = nullptr;
    int ttsIndex = 0;
    {
        Lock lock(m_Lock);
        const int voiceIndex =
            request.translateVoiceIndex ? speechIndextoVoiceIndex(request.voiceIndex) : request.voiceIndex;
        if (request.translateVoiceIndex && voiceIndex < 0 && request.voiceIndex < 0)
            sMsgBox("ERROR", "The crew type, %s, has not been assigned to a voice", crewName(request.voiceIndex));
        // An index kept from before the list was rebuilt may point past its end.
        if (voiceIndex >= 0 && voiceIndex < static_cast<int>(m_Voices.size())) {
            service = m_Voices[static_cast<size_t>(voiceIndex)].pTTSEngine;
            ttsIndex = m_Voices[static_cast<size_t>(voiceIndex)].ttsIndex;
        }
    }
    if (service) {
        request.loadWave(service, ttsIndex);
        return;
    }
    sLogMsg("ERROR: The requested voice index, %d, is invalid", request.voiceIndex);
    speechQueue.pop();
}

std::string VoiceManager::speak(bool atcTransmission, const std::string& text) {
    TTSBase* service = nullptr;
    int ttsIndex = 0;
    {
        Lock lock(m_Lock);
        int voiceIndex;
        if (atcTransmission) {
            const int frequency = getCurrentFrequency();
            const bool newController = frequency != lastAtcFreq;
            lastAtcFreq = frequency;
            voiceIndex = getAtcVoiceIndex(newController);
        } else {
            voiceIndex = getPilotVoiceIndex();
        }
        if (voiceIndex >= 0 && voiceIndex < static_cast<int>(m_Voices.size())) {
            service = m_Voices[static_cast<size_t>(voiceIndex)].pTTSEngine;
            ttsIndex = m_Voices[static_cast<size_t>(voiceIndex)].ttsIndex;
        }
    }
    const std::string file = makePluginFileName(service && service->usesWAV() ? "transmission.wav" : "transmission.mp3");
    if (service) service->createWaveFile(file, ttsIndex, text);
    return file;
}
