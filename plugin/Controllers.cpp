#include "Controllers.h"

#include <atomic>
#include <mutex>

const char* const controllerNames[MAX_CONTROLLERS] = {"Clr", "Dep_Gnd", "Dep_Twr", "Dep",      "Ctr",
                                                      "App", "Dest_Twr", "Dest_Gnd", "Dep_Uni", "Dest_Uni"};

namespace {
std::atomic<int> gActiveController{CONTROLLER_APP};
std::mutex gCaptionMutex;
std::string gCaptionBuffer;
std::string gCaption;
}  // namespace

void setActiveController(int controller) {
    if (controller >= 0 && controller < MAX_CONTROLLERS) gActiveController = controller;
}

int getActiveController() { return gActiveController; }

const char* getControllerName(int controller) {
    return controller >= 0 && controller < MAX_CONTROLLERS ? controllerNames[controller] : "";
}

void setFacilityCaption(const std::string& caption) {
    std::lock_guard<std::mutex> lock(gCaptionMutex);
    gCaptionBuffer = caption.substr(0, 1999);  // the caption buffer holds 2000 characters
    gCaption = gCaptionBuffer;
}

void showCaptionBuffer() {
    std::lock_guard<std::mutex> lock(gCaptionMutex);
    gCaption = gCaptionBuffer;
}

void setFixedCaption(const char* caption) {
    std::lock_guard<std::mutex> lock(gCaptionMutex);
    gCaption = caption;
}

std::string getFacilityCaption() {
    std::lock_guard<std::mutex> lock(gCaptionMutex);
    return gCaption;
}
