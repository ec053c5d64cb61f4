// Menus: recorded as plug-ins build them; a scenario clicks an item by its
// path from the Plugins menu, e.g. "Quillon Player/Control Panel".
#include <memory>
#include <sstream>
#include <stdexcept>

#include "Sim.h"
#include "host/XplmMenus.h"

namespace sim {
namespace {

struct Menu;

struct MenuItem {
    std::string name;
    void* itemRef = nullptr;
    Menu* subMenu = nullptr;
    int check = xplm_Menu_NoCheck;
    bool separator = false;
};

struct Menu {
    std::string title;
    XPLMMenuHandler_f handler = nullptr;
    void* menuRef = nullptr;
    std::vector<MenuItem> items;
};

std::vector<std::unique_ptr<Menu>>& menus() {
    static std::vector<std::unique_ptr<Menu>> list;
    return list;
}

Menu* pluginsMenu() {
    if (menus().empty()) {
        menus().push_back(std::make_unique<Menu>());
        menus().back()->title = "Plugins";
    }
    return menus().front().get();
}

Menu* valid(XPLMMenuID id) {
    for (auto& menu : menus())
        if (menu.get() == id) return menu.get();
    return nullptr;
}

void click(const std::string& path) {
    Menu* menu = pluginsMenu();
    std::stringstream parts(path);
    std::string part;
    std::vector<std::string> names;
    while (std::getline(parts, part, '/')) names.push_back(part);
    for (size_t i = 0; i < names.size(); ++i) {
        MenuItem* found = nullptr;
        for (auto& item : menu->items)
            if (!item.separator && item.name == names[i]) found = &item;
        if (!found) throw std::runtime_error("no menu item '" + names[i] + "' in menu '" + menu->title + "'");
        if (i + 1 == names.size()) {
            if (!menu->handler) throw std::runtime_error("menu '" + menu->title + "' has no handler");
            menu->handler(menu->menuRef, found->itemRef);
            return;
        }
        if (!found->subMenu) throw std::runtime_error("menu item '" + names[i] + "' has no sub-menu");
        menu = found->subMenu;
    }
}

Registrar registrar([] {
    registerStep({"menu", "menu \"<item>/<item>...\": click a menu item under Plugins",
                  [](const Args& args) {
                      if (args.size() != 1) throw std::runtime_error("usage: menu \"<item>/<item>...\"");
                      click(args[0]);
                  }});
});

}  // namespace


}  // namespace sim

extern "C" {

XPLMMenuID XPLMFindPluginsMenu(void) { return sim::pluginsMenu(); }

XPLMMenuID XPLMCreateMenu(const char* name, XPLMMenuID parentMenu, int parentItem, XPLMMenuHandler_f handler,
                          void* menuRef) {
    if (!name || !*name) return nullptr;
    sim::pluginsMenu();
    sim::Menu* parent = parentMenu ? sim::valid(parentMenu) : nullptr;
    if (parentMenu && (!parent || parentItem < 0 || parentItem >= static_cast<int>(parent->items.size())))
        return nullptr;
    sim::menus().push_back(std::make_unique<sim::Menu>());
    sim::Menu* menu = sim::menus().back().get();
    menu->title = name;
    menu->handler = handler;
    menu->menuRef = menuRef;
    if (parent) parent->items[static_cast<size_t>(parentItem)].subMenu = menu;
    return menu;
}

int XPLMAppendMenuItem(XPLMMenuID menu, const char* itemName, void* itemRef, int) {
    sim::pluginsMenu();
    sim::Menu* entry = sim::valid(menu);
    if (!entry || !itemName) return -1;
    entry->items.push_back({itemName, itemRef, nullptr, xplm_Menu_NoCheck, false});
    return static_cast<int>(entry->items.size()) - 1;
}

void XPLMAppendMenuSeparator(XPLMMenuID menu) {
    if (sim::Menu* entry = sim::valid(menu)) entry->items.push_back({"", nullptr, nullptr, xplm_Menu_NoCheck, true});
}

void XPLMCheckMenuItem(XPLMMenuID menu, int index, XPLMMenuCheck check) {
    sim::Menu* entry = sim::valid(menu);
    if (entry && index >= 0 && index < static_cast<int>(entry->items.size()))
        entry->items[static_cast<size_t>(index)].check = check;
}

}  // extern "C"
