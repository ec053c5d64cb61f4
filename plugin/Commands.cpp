#include "Commands.h"

#include <cstdint>

#include "SpeechDataRefs.h"
#include "common/Guard.h"
#include "host/XplmCommands.h"

namespace {

struct PublishedCommand {
    commands index;
    const char* name;
    const char* description;
    XPLMCommandRef ref;
};

PublishedCommand gCommands[] = {
    {QUEUE_TEXT_TO_SPEECH, "Orvan/Quillon/Queue_Text_To_Speech",
     "Adds the text to speech data that was previously specified to the speech queue", nullptr},
};

void carryOut(intptr_t index) {
    switch (index) {
        case QUEUE_TEXT_TO_SPEECH: queueRequestedSpeech(); break;
        default: break;
    }
}

// Acts at the end of a press; always lets other handlers see the command.
int quillonCommandHandler(XPLMCommandRef, XPLMCommandPhase phase, void* refcon) {
    if (phase == xplm_CommandEnd)
        guardedVoid("command", [refcon] { carryOut(reinterpret_cast<intptr_t>(refcon)); });
    return 1;
}

void* refconOf(const PublishedCommand& command) { return reinterpret_cast<void*>(static_cast<intptr_t>(command.index)); }

}  // namespace

void registerCommands() {
    for (PublishedCommand& command : gCommands) {
        command.ref = XPLMCreateCommand(command.name, command.description);
        XPLMRegisterCommandHandler(command.ref, quillonCommandHandler, 1, refconOf(command));
    }
}

void unregisterCommands() {
    for (PublishedCommand& command : gCommands) {
        if (command.ref) XPLMUnregisterCommandHandler(command.ref, quillonCommandHandler, 1, refconOf(command));
        command.ref = nullptr;
    }
}
