// The plug-ins menu and our own sub-menus.
#pragma once

#include "XplmTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    xplm_Menu_NoCheck = 0,
    xplm_Menu_Unchecked = 1,
    xplm_Menu_Checked = 2
};

typedef void (*XPLMMenuHandler_f)(void* menuRef, void* itemRef);

XPLMMenuID XPLMFindPluginsMenu(void);
XPLMMenuID XPLMCreateMenu(const char* name, XPLMMenuID parentMenu, int parentItem, XPLMMenuHandler_f handler,
                          void* menuRef);
int XPLMAppendMenuItem(XPLMMenuID menu, const char* itemName, void* itemRef, int unused);
void XPLMAppendMenuSeparator(XPLMMenuID menu);
void XPLMCheckMenuItem(XPLMMenuID menu, int index, XPLMMenuCheck check);

#ifdef __cplusplus
}
#endif
