#include "SpeechDataRefs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "audio/Sound.h"
#include "common/Guard.h"
#include "host/XplmData.h"
#include "speech/VoiceManager.h"

namespace {

// Set through the datarefs and copied into the queue; never queued itself.
TextToSpeech gRequest;

struct PublishedDataRef {
    TextToSpeechDataRefs which;
    const char* name;
    XPLMDataTypeID type;
    bool writable;
    XPLMDataRef ref;
};

PublishedDataRef gDataRefs[] = {
    {TEXT_TO_SPEECH_VOICE_INDEX, "Orvan/Quillon/tts_voice_index", xplmType_Int, true, nullptr},
    {TEXT_TO_SPEECH_PLAY_DELAY_SECONDS, "Orvan/Quillon/tts_play_delay_seconds", xplmType_Float, true, nullptr},
    {TEXT_TO_SPEECH_VOICE_COUNT, "Orvan/Quillon/tts_voice_count", xplmType_Int, false, nullptr},
    {TEXT_TO_SPEECH_PLAY_STATUS, "Orvan/Quillon/tts_play_status", xplmType_Int, false, nullptr},
    {TEXT_TO_SPEECH_TEXT, "Orvan/Quillon/tts_txt", xplmType_Data, true, nullptr},
    {TEXT_TO_SPEECH_VOICE_DESCRIPTION, "Orvan/Quillon/tts_voice_description", xplmType_Data, false, nullptr},
    {TEXT_TO_SPEECH_CURRENT_VOICE_SET, "Orvan/Quillon/voice_set_index", xplmType_Int, true, nullptr},
    {TEXT_TO_SPEECH_VOICE_SET_NAME, "Orvan/Quillon/voice_set_name", xplmType_Data, false, nullptr},
};

intptr_t which(void* refcon) { return reinterpret_cast<intptr_t>(refcon); }

int readInt(void* refcon) {
    return guarded("speech dataref", 0, [refcon] {
        switch (which(refcon)) {
            case TEXT_TO_SPEECH_VOICE_INDEX: return gRequest.voiceIndex;
            case TEXT_TO_SPEECH_VOICE_COUNT: return getVoiceManager()->countAtcVoices(false);
            case TEXT_TO_SPEECH_PLAY_STATUS:
                return isSoundPlaying(TTS_SOURCE) || getVoiceManager()->hasQueuedSpeech() ? 1 : 0;
            case TEXT_TO_SPEECH_CURRENT_VOICE_SET: {
                VoiceManager* manager = getVoiceManager();
                VoiceManager::Lock lock(manager->m_Lock);
                return manager->currentvoiceSet;
            }
            default: return 0;
        }
    });
}

void writeInt(void* refcon, int value) {
    guardedVoid("speech dataref", [refcon, value] {
        switch (which(refcon)) {
            case TEXT_TO_SPEECH_VOICE_INDEX: gRequest.voiceIndex = value; break;
            case TEXT_TO_SPEECH_CURRENT_VOICE_SET: getVoiceManager()->selectVoiceSet(value); break;
            default: break;
        }
    });
}

float readFloat(void*) {
    return guarded("speech dataref", 0.0f, [] { return gRequest.delay; });
}

void writeFloat(void*, float value) {
    guardedVoid("speech dataref", [value] {
        if (value >= 0.0f && value <= 60.0f) gRequest.delay = value;
    });
}

// A text dataref's content and the size of the zero-padded buffer readers see;
// names keep the last byte zero, so a reader of the whole buffer gets a terminated text.
std::string textOf(intptr_t dataRef, int& size) {
    if (dataRef == TEXT_TO_SPEECH_TEXT) {
        size = TEXT_TO_SPEECH_TEXT_SIZE;
        return gRequest.text;
    }
    size = TEXT_TO_SPEECH_NAME_SIZE;
    std::string name = dataRef == TEXT_TO_SPEECH_VOICE_DESCRIPTION
                           ? getVoiceManager()->getTTSVoiceDescription(gRequest.voiceIndex)
                           : getVoiceManager()->getVoiceSetName();
    name.resize(std::min<size_t>(name.size(), TEXT_TO_SPEECH_NAME_SIZE - 1));
    return name;
}

int readBytes(void* refcon, void* out, int offset, int maxLength) {
    return guarded("speech dataref", 0, [&] {
        int size;
        const std::string text = textOf(which(refcon), size);
        if (!out) return size;
        if (offset < 0 || offset >= size || maxLength <= 0) return 0;
        const size_t count = static_cast<size_t>(std::min(size - offset, maxLength));
        const size_t start = static_cast<size_t>(offset);
        char* destination = static_cast<char*>(out);
        memset(destination, 0, count);
        if (start < text.size()) memcpy(destination, text.data() + start, std::min(text.size() - start, count));
        return static_cast<int>(count);
    });
}

// The bytes written, at most the buffer's size counted from the offset,
// become the whole text, up to the first zero byte.
void writeBytes(void*, void* value, int offset, int length) {
    guardedVoid("speech dataref", [&] {
        if (!value || offset < 0 || offset >= TEXT_TO_SPEECH_TEXT_SIZE) return;
        const char* bytes = static_cast<const char*>(value);
        const int count = std::max(0, std::min(length, TEXT_TO_SPEECH_TEXT_SIZE - offset));
        gRequest.text.assign(bytes, strnlen(bytes, static_cast<size_t>(count)));
    });
}

}  // namespace

void registerSpeechDataRefs() {
    // Every start begins with no text for the pilot's voice, without delay.
    gRequest.text.clear();
    gRequest.voiceIndex = -1;
    gRequest.delay = 0.0f;
    for (PublishedDataRef& dataRef : gDataRefs) {
        void* refcon = reinterpret_cast<void*>(static_cast<intptr_t>(dataRef.which));
        const bool isInt = dataRef.type == xplmType_Int, isFloat = dataRef.type == xplmType_Float;
        const bool isData = dataRef.type == xplmType_Data;
        dataRef.ref = XPLMRegisterDataAccessor(
            dataRef.name, dataRef.type, dataRef.writable ? 1 : 0, isInt ? readInt : nullptr,
            isInt && dataRef.writable ? writeInt : nullptr, isFloat ? readFloat : nullptr,
            isFloat && dataRef.writable ? writeFloat : nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
            isData ? readBytes : nullptr, isData && dataRef.writable ? writeBytes : nullptr, refcon, refcon);
    }
}

void unregisterSpeechDataRefs() {
    for (PublishedDataRef& dataRef : gDataRefs) {
        if (dataRef.ref) XPLMUnregisterDataAccessor(dataRef.ref);
        dataRef.ref = nullptr;
    }
}

void queueRequestedSpeech() {
    getVoiceManager()->addSpeech(gRequest.text, gRequest.voiceIndex, gRequest.delay, true);
}
