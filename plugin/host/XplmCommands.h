// Commands: creation and handlers.
#pragma once

#include "XplmTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    xplm_CommandBegin = 0,
    xplm_CommandContinue = 1,
    xplm_CommandEnd = 2
};

// Returns 1 to let other handlers and the simulator see the command, 0 to swallow it.
typedef int (*XPLMCommandCallback_f)(XPLMCommandRef command, XPLMCommandPhase phase, void* refcon);

XPLMCommandRef XPLMCreateCommand(const char* name, const char* description);
XPLMCommandRef XPLMFindCommand(const char* name);
void XPLMRegisterCommandHandler(XPLMCommandRef command, XPLMCommandCallback_f handler, int runBefore,
                                void* refcon);
void XPLMUnregisterCommandHandler(XPLMCommandRef command, XPLMCommandCallback_f handler, int runBefore,
                                  void* refcon);
void XPLMCommandOnce(XPLMCommandRef command);
void XPLMCommandBegin(XPLMCommandRef command);
void XPLMCommandEnd(XPLMCommandRef command);

#ifdef __cplusplus
}
#endif
