// Windows, recorded with their callbacks and geometry, on one 1920x1080
// monitor. Drawing them is a separate capability.
#include <cstring>
#include <memory>

#include "Sim.h"
#include "host/XplmDisplay.h"

namespace sim {
namespace {

struct Window {
    XPLMCreateWindow_t params;
    bool visible;
    int left, top, right, bottom;
    int mode = xplm_WindowPositionFree;
    int vrWidth = 0, vrHeight = 0;
    std::string title;
};

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

std::vector<std::unique_ptr<Window>>& windows() {
    static std::vector<std::unique_ptr<Window>> list;
    return list;
}
XPLMWindowID gFocus = nullptr;
int gMouseX = kScreenWidth / 2, gMouseY = kScreenHeight / 2;

Window* find(XPLMWindowID id) {
    for (auto& window : windows())
        if (window.get() == id) return window.get();
    return nullptr;
}

}  // namespace
}  // namespace sim

using sim::find;

extern "C" {

XPLMWindowID XPLMCreateWindowEx(XPLMCreateWindow_t* params) {
    // The simulator accepts the sizes of the known layouts only.
    if (!params || (params->structSize != 72 && params->structSize != 80 && params->structSize != 88) ||
        !params->drawWindowFunc)
        return nullptr;
    auto window = std::make_unique<sim::Window>();
    window->params = XPLMCreateWindow_t{};
    memcpy(&window->params, params, static_cast<size_t>(params->structSize));
    window->visible = params->visible != 0;
    window->left = params->left;
    window->top = params->top;
    window->right = params->right;
    window->bottom = params->bottom;
    sim::windows().push_back(std::move(window));
    return sim::windows().back().get();
}

void XPLMDestroyWindow(XPLMWindowID id) {
    auto& list = sim::windows();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->get() == id) {
            list.erase(it);
            break;
        }
    }
    if (sim::gFocus == id) sim::gFocus = nullptr;
}

void XPLMSetWindowIsVisible(XPLMWindowID id, int visible) {
    if (auto* window = find(id)) window->visible = visible != 0;
}

int XPLMGetWindowIsVisible(XPLMWindowID id) {
    auto* window = find(id);
    return window && window->visible ? 1 : 0;
}

void XPLMGetWindowGeometry(XPLMWindowID id, int* left, int* top, int* right, int* bottom) {
    auto* window = find(id);
    if (!window) return;
    if (left) *left = window->left;
    if (top) *top = window->top;
    if (right) *right = window->right;
    if (bottom) *bottom = window->bottom;
}

void XPLMSetWindowGeometry(XPLMWindowID id, int left, int top, int right, int bottom) {
    if (auto* window = find(id)) {
        window->left = left;
        window->top = top;
        window->right = right;
        window->bottom = bottom;
    }
}

// One monitor whose OS pixels equal its boxels.
void XPLMGetWindowGeometryOS(XPLMWindowID id, int* left, int* top, int* right, int* bottom) {
    XPLMGetWindowGeometry(id, left, top, right, bottom);
}

void XPLMSetWindowGeometryOS(XPLMWindowID id, int left, int top, int right, int bottom) {
    XPLMSetWindowGeometry(id, left, top, right, bottom);
}

void XPLMGetWindowGeometryVR(XPLMWindowID id, int* widthBoxels, int* heightBoxels) {
    auto* window = find(id);
    if (!window) return;
    if (widthBoxels) *widthBoxels = window->vrWidth;
    if (heightBoxels) *heightBoxels = window->vrHeight;
}

void XPLMSetWindowGeometryVR(XPLMWindowID id, int widthBoxels, int heightBoxels) {
    if (auto* window = find(id)) {
        window->vrWidth = widthBoxels;
        window->vrHeight = heightBoxels;
    }
}

void XPLMSetWindowPositioningMode(XPLMWindowID id, XPLMWindowPositioningMode mode, int) {
    if (auto* window = find(id)) window->mode = mode;
}

int XPLMWindowIsPoppedOut(XPLMWindowID id) {
    auto* window = find(id);
    return window && window->mode == xplm_WindowPopOut ? 1 : 0;
}

int XPLMWindowIsInVR(XPLMWindowID id) {
    auto* window = find(id);
    return window && window->mode == xplm_WindowVR ? 1 : 0;
}

void XPLMSetWindowTitle(XPLMWindowID id, const char* title) {
    if (auto* window = find(id)) window->title = title ? title : "";
}

void XPLMBringWindowToFront(XPLMWindowID id) {
    auto& list = sim::windows();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->get() == id) {
            auto window = std::move(*it);
            list.erase(it);
            list.push_back(std::move(window));
            return;
        }
    }
}

int XPLMHasKeyboardFocus(XPLMWindowID id) { return sim::gFocus == id ? 1 : 0; }

void XPLMTakeKeyboardFocus(XPLMWindowID id) { sim::gFocus = find(id) ? id : nullptr; }

void XPLMGetScreenBoundsGlobal(int* left, int* top, int* right, int* bottom) {
    if (left) *left = 0;
    if (top) *top = sim::kScreenHeight;
    if (right) *right = sim::kScreenWidth;
    if (bottom) *bottom = 0;
}

void XPLMGetAllMonitorBoundsGlobal(XPLMReceiveMonitorBoundsGlobal_f callback, void* refcon) {
    if (callback) callback(0, 0, sim::kScreenHeight, sim::kScreenWidth, 0, refcon);
}

void XPLMGetAllMonitorBoundsOS(XPLMReceiveMonitorBoundsOS_f callback, void* refcon) {
    if (callback) callback(0, 0, sim::kScreenHeight, sim::kScreenWidth, 0, refcon);
}

void XPLMGetMouseLocationGlobal(int* x, int* y) {
    if (x) *x = sim::gMouseX;
    if (y) *y = sim::gMouseY;
}

}  // extern "C"
