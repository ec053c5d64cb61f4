// The controller positions chatter can come from; also the clip folder names.
#pragma once

#include <string>

enum Controllers {
    CONTROLLER_CLR = 0,
    CONTROLLER_DEP_GND = 1,
    CONTROLLER_DEP_TWR = 2,
    CONTROLLER_DEP = 3,
    CONTROLLER_CTR = 4,
    CONTROLLER_APP = 5,
    CONTROLLER_DEST_TWR = 6,
    CONTROLLER_DEST_GND = 7,
    CONTROLLER_DEP_UNI = 8,
    CONTROLLER_DEST_UNI = 9,
    MAX_CONTROLLERS = 10
};

extern const char* const controllerNames[MAX_CONTROLLERS];

// The active controller, shared by the chatter thread and the simulator thread.
void setActiveController(int controller);  // ignored outside 0..9
int getActiveController();
const char* getControllerName(int controller);

// The facility caption the control panel shows. It is either the caption
// buffer, written by the facility evaluation, or a fixed pause text; each is
// read and written as a whole text.
void setFacilityCaption(const std::string& caption);  // fills the buffer and shows it
void showCaptionBuffer();                             // shows the buffer as last filled
void setFixedCaption(const char* caption);            // shows a fixed text; the buffer keeps its own
std::string getFacilityCaption();
