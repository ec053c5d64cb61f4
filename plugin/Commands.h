// The published commands under Orvan/Quillon/: one handler serves them all,
// each registered with its number in the `commands` enumeration.
#pragma once

enum commands {
    QUEUE_TEXT_TO_SPEECH = 26,
};

void registerCommands();
void unregisterCommands();
