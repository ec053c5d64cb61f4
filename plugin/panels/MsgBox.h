// Message boxes: requested from any thread, shown by the simulator thread.
#pragma once

#include <functional>
#include <string>

#include "ThreadSafeList.h"
#include "host/XplmProcessing.h"

struct MsgBoxRequest {
    std::string title;
    std::string message;
    std::function<void()> okFunction;  // run when the user confirms; empty for a plain notice
};

class MsgBoxManager {
public:
    MsgBoxManager();
    ~MsgBoxManager();
    MsgBoxManager(const MsgBoxManager&) = delete;
    MsgBoxManager& operator=(const MsgBoxManager&) = delete;

    ThreadSafeList<MsgBoxRequest> m_MsgBoxRequests;

    // Shows every queued request, in request order; the manager's flight loop
    // calls it each frame.
    void showPending();

private:
    XPLMFlightLoopID m_FlightLoop = nullptr;
};

MsgBoxManager* getMsgBoxManager();
void removeMsgBoxManager();

void msgBox(const std::string& title, const std::string& text);
void msgBox(const std::string& title, const std::string& text, std::function<void()> okFunction);
void sMsgBox(const char* title, const char* format, ...) __attribute__((format(printf, 2, 3)));
