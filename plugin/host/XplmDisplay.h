// Windows, screen and monitor bounds, mouse and keyboard focus.
#pragma once

#include "XplmTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    xplm_MouseDown = 1,
    xplm_MouseDrag = 2,
    xplm_MouseUp = 3
};

enum {
    xplm_CursorDefault = 0,
    xplm_CursorHidden = 1,
    xplm_CursorArrow = 2,
    xplm_CursorCustom = 3
};

enum {
    xplm_ShiftFlag = 1,
    xplm_OptionAltFlag = 2,
    xplm_ControlFlag = 4,
    xplm_DownFlag = 8,
    xplm_UpFlag = 16
};

enum {
    xplm_WindowLayerFlightOverlay = 0,
    xplm_WindowLayerFloatingWindows = 1,
    xplm_WindowLayerModal = 2,
    xplm_WindowLayerGrowlNotifications = 3
};

enum {
    xplm_WindowDecorationNone = 0,
    xplm_WindowDecorationRoundRectangle = 1,
    xplm_WindowDecorationSelfDecorated = 2,
    xplm_WindowDecorationSelfDecoratedResizable = 3
};

enum {
    xplm_WindowPositionFree = 0,
    xplm_WindowCenterOnMonitor = 1,
    xplm_WindowFullScreenOnMonitor = 2,
    xplm_WindowFullScreenOnAllMonitors = 3,
    xplm_WindowPopOut = 4,
    xplm_WindowVR = 5
};

typedef void (*XPLMDrawWindow_f)(XPLMWindowID window, void* refcon);
typedef int (*XPLMHandleMouseClick_f)(XPLMWindowID window, int x, int y, XPLMMouseStatus mouse, void* refcon);
typedef void (*XPLMHandleKey_f)(XPLMWindowID window, char key, XPLMKeyFlags flags, char virtualKey,
                                void* refcon, int losingFocus);
typedef XPLMCursorStatus (*XPLMHandleCursor_f)(XPLMWindowID window, int x, int y, void* refcon);
typedef int (*XPLMHandleMouseWheel_f)(XPLMWindowID window, int x, int y, int wheel, int clicks, void* refcon);
typedef void (*XPLMReceiveMonitorBoundsGlobal_f)(int monitorIndex, int left, int top, int right, int bottom,
                                                 void* refcon);
typedef void (*XPLMReceiveMonitorBoundsOS_f)(int monitorIndex, int left, int top, int right, int bottom,
                                             void* refcon);

// The 15-member layout every X-Plane 11.20+ and 12 build accepts; structSize
// tells the simulator which members are known, so it must not be extended.
typedef struct {
    int structSize;
    int left;
    int top;
    int right;
    int bottom;
    int visible;
    XPLMDrawWindow_f drawWindowFunc;
    XPLMHandleMouseClick_f handleMouseClickFunc;
    XPLMHandleKey_f handleKeyFunc;
    XPLMHandleCursor_f handleCursorFunc;
    XPLMHandleMouseWheel_f handleMouseWheelFunc;
    void* refcon;
    XPLMWindowDecoration decorateAsFloatingWindow;
    XPLMWindowLayer layer;
    XPLMHandleMouseClick_f handleRightClickFunc;
} XPLMCreateWindow_t;

XPLMWindowID XPLMCreateWindowEx(XPLMCreateWindow_t* params);
void XPLMDestroyWindow(XPLMWindowID window);
void XPLMSetWindowIsVisible(XPLMWindowID window, int visible);
int XPLMGetWindowIsVisible(XPLMWindowID window);
void XPLMGetWindowGeometry(XPLMWindowID window, int* left, int* top, int* right, int* bottom);
void XPLMSetWindowGeometry(XPLMWindowID window, int left, int top, int right, int bottom);
void XPLMGetWindowGeometryOS(XPLMWindowID window, int* left, int* top, int* right, int* bottom);
void XPLMSetWindowGeometryOS(XPLMWindowID window, int left, int top, int right, int bottom);
void XPLMGetWindowGeometryVR(XPLMWindowID window, int* widthBoxels, int* heightBoxels);
void XPLMSetWindowGeometryVR(XPLMWindowID window, int widthBoxels, int heightBoxels);
void XPLMSetWindowPositioningMode(XPLMWindowID window, XPLMWindowPositioningMode mode, int monitorIndex);
int XPLMWindowIsPoppedOut(XPLMWindowID window);
int XPLMWindowIsInVR(XPLMWindowID window);
void XPLMSetWindowTitle(XPLMWindowID window, const char* title);
void XPLMBringWindowToFront(XPLMWindowID window);
int XPLMHasKeyboardFocus(XPLMWindowID window);
void XPLMTakeKeyboardFocus(XPLMWindowID window);
void XPLMGetScreenBoundsGlobal(int* left, int* top, int* right, int* bottom);
void XPLMGetAllMonitorBoundsGlobal(XPLMReceiveMonitorBoundsGlobal_f callback, void* refcon);
void XPLMGetAllMonitorBoundsOS(XPLMReceiveMonitorBoundsOS_f callback, void* refcon);
void XPLMGetMouseLocationGlobal(int* x, int* y);

#ifdef __cplusplus
}
#endif
