// The published speech datarefs: a text, a voice and a delay that other
// plug-ins set before they queue the text with Orvan/Quillon/Queue_Text_To_Speech,
// what the speech channel is doing, and the voice sets.
#pragma once

// Reference values of the datarefs.
enum TextToSpeechDataRefs {
    TEXT_TO_SPEECH_VOICE_INDEX = 0,
    TEXT_TO_SPEECH_PLAY_DELAY_SECONDS = 1,
    TEXT_TO_SPEECH_VOICE_COUNT = 2,
    TEXT_TO_SPEECH_PLAY_STATUS = 3,
    TEXT_TO_SPEECH_TEXT = 4,
    TEXT_TO_SPEECH_VOICE_DESCRIPTION = 5,
    TEXT_TO_SPEECH_CURRENT_VOICE_SET = 6,
    TEXT_TO_SPEECH_VOICE_SET_NAME = 7,
};

constexpr int TEXT_TO_SPEECH_TEXT_SIZE = 5000;
constexpr int TEXT_TO_SPEECH_NAME_SIZE = 300;

void registerSpeechDataRefs();
void unregisterSpeechDataRefs();
// Queues the text, voice and delay set through the datarefs.
void queueRequestedSpeech();
