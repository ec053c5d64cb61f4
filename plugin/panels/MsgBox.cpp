#include "MsgBox.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <new>

#include "common/CLocale.h"
#include "common/Common.h"
#include "common/Guard.h"

namespace {

std::mutex gManagerMutex;
MsgBoxManager* gManager = nullptr;

float msgBoxFlightLoop(float, float, int, void* refcon) {
    if (isPluginHalted()) return 0.0f;
    guardedVoid("message boxes", [refcon] { static_cast<MsgBoxManager*>(refcon)->showPending(); });
    return -1.0f;
}

void queue(MsgBoxRequest request) {
    if (MsgBoxManager* manager = getMsgBoxManager()) manager->m_MsgBoxRequests.push_back(std::move(request));
}

}  // namespace

MsgBoxManager::MsgBoxManager() {
    XPLMCreateFlightLoop_t params{sizeof(XPLMCreateFlightLoop_t), xplm_FlightLoop_Phase_AfterFlightModel,
                                  msgBoxFlightLoop, this};
    m_FlightLoop = XPLMCreateFlightLoop(&params);
    if (m_FlightLoop) XPLMScheduleFlightLoop(m_FlightLoop, -1.0f, 1);
}

MsgBoxManager::~MsgBoxManager() {
    if (m_FlightLoop) XPLMDestroyFlightLoop(m_FlightLoop);
}

void MsgBoxManager::showPending() {
    MsgBoxRequest request;
    // Until boxes can be drawn, the log is where the user finds them; a
    // confirmation cannot be given, so its action does not run.
    while (m_MsgBoxRequests.pop_front(request)) sLogMsg("%s: %s", request.title.c_str(), request.message.c_str());
}

MsgBoxManager* getMsgBoxManager() {
    std::lock_guard<std::mutex> lock(gManagerMutex);
    // Created on the simulator thread at start; requests before or after its life are dropped.
    if (!gManager && isSimulatorThread()) gManager = new MsgBoxManager();
    return gManager;
}

void removeMsgBoxManager() {
    std::lock_guard<std::mutex> lock(gManagerMutex);
    delete gManager;
    gManager = nullptr;
}

void msgBox(const std::string& title, const std::string& text) { queue({title, text, nullptr}); }

void msgBox(const std::string& title, const std::string& text, std::function<void()> okFunction) {
    queue({title, text, std::move(okFunction)});
}

void sMsgBox(const char* title, const char* format, ...) {
    char* buffer = new (std::nothrow) char[LOG_BUFFER_SIZE];
    if (!buffer) {
        logAllocationFailure("sMsgBox");
        return;
    }
    {
        CLocaleScope cLocale;
        va_list args;
        va_start(args, format);
        vsnprintf(buffer, LOG_BUFFER_SIZE, format, args);
        va_end(args);
    }
    queue({title ? title : "", buffer, nullptr});
    delete[] buffer;
}
