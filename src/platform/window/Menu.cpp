#include "platform/window/Menu.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/window/MessageQueue.h"

namespace Platform::window {

struct MenuItem {
    std::string text;
    uint32_t id = 0;
    bool separator = false;
    bool enabled = true;
    bool checked = false;
    bool radio = false;
    MenuHandle sub = nullptr;
};

struct MenuData {
    bool bar = false;
    std::vector<MenuItem> items;
};

namespace {

constexpr uint32_t kWmInitMenuPopup = 0x0117;

// Menus are made and used on the UI thread; the lock only guards the tables.
std::mutex& tableLock() {
    static std::mutex lock;
    return lock;
}
std::unordered_set<MenuHandle>& liveMenus() {
    static std::unordered_set<MenuHandle> menus;
    return menus;
}
std::unordered_map<WindowHandle, MenuHandle>& windowMenus() {
    static std::unordered_map<WindowHandle, MenuHandle> menus;
    return menus;
}
MenuAnswerHook& answerHook() {
    static MenuAnswerHook hook;
    return hook;
}

bool live(MenuHandle menu) {
    std::lock_guard guard(tableLock());
    return menu && liveMenus().count(menu) != 0;
}

MenuHandle make(bool bar) {
    auto* menu = new MenuData;
    menu->bar = bar;
    std::lock_guard guard(tableLock());
    liveMenus().insert(menu);
    return menu;
}

void destroyTree(MenuHandle menu) {
    for (auto& item : menu->items)
        if (item.sub)
            destroyTree(item.sub);
    {
        std::lock_guard guard(tableLock());
        liveMenus().erase(menu);
    }
    delete menu;
}

MenuItem* findById(MenuHandle menu, uint32_t id) {
    for (auto& item : menu->items) {
        if (item.sub) {
            if (auto* found = findById(item.sub, id))
                return found;
        } else if (!item.separator && item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

MenuItem* itemById(MenuHandle menu, uint32_t id) { return live(menu) ? findById(menu, id) : nullptr; }

MenuItem* itemAt(MenuHandle menu, int32_t position) {
    if (!live(menu) || position < 0 || position >= static_cast<int32_t>(menu->items.size()))
        return nullptr;
    return &menu->items[static_cast<size_t>(position)];
}

}  // namespace

MenuHandle createMenu() { return make(true); }
MenuHandle createPopupMenu() { return make(false); }

bool destroyMenu(MenuHandle menu) {
    if (!live(menu))
        return false;
    {
        std::lock_guard guard(tableLock());
        for (auto it = windowMenus().begin(); it != windowMenus().end();)
            it = it->second == menu ? windowMenus().erase(it) : std::next(it);
    }
    destroyTree(menu);
    return true;
}

bool isMenu(MenuHandle menu) { return live(menu); }

bool appendMenuString(MenuHandle menu, uint32_t id, const std::string& text) {
    if (!live(menu))
        return false;
    MenuItem item;
    item.text = text;
    item.id = id;
    menu->items.push_back(std::move(item));
    return true;
}

bool appendMenuSeparator(MenuHandle menu) {
    if (!live(menu))
        return false;
    MenuItem item;
    item.separator = true;
    menu->items.push_back(std::move(item));
    return true;
}

bool appendSubMenu(MenuHandle menu, MenuHandle sub, const std::string& text) {
    if (!live(menu) || !live(sub) || sub == menu)
        return false;
    MenuItem item;
    item.text = text;
    item.sub = sub;
    menu->items.push_back(std::move(item));
    return true;
}

bool deleteMenuAt(MenuHandle menu, int32_t position) {
    MenuItem* item = itemAt(menu, position);
    if (!item)
        return false;
    if (item->sub)
        destroyTree(item->sub);
    menu->items.erase(menu->items.begin() + position);
    return true;
}

int32_t getMenuItemCount(MenuHandle menu) {
    return live(menu) ? static_cast<int32_t>(menu->items.size()) : -1;
}

MenuHandle getSubMenu(MenuHandle menu, int32_t position) {
    MenuItem* item = itemAt(menu, position);
    return item ? item->sub : nullptr;
}

bool getMenuStringAt(MenuHandle menu, int32_t position, std::string& text) {
    MenuItem* item = itemAt(menu, position);
    if (!item || item->separator)
        return false;
    text = item->text;
    return true;
}

bool setMenuStringAt(MenuHandle menu, int32_t position, const std::string& text) {
    MenuItem* item = itemAt(menu, position);
    if (!item || item->separator)
        return false;
    item->text = text;
    return true;
}

int32_t getMenuItemId(MenuHandle menu, int32_t position) {
    MenuItem* item = itemAt(menu, position);
    if (!item)
        return -1;
    return item->sub || item->separator ? 0 : static_cast<int32_t>(item->id);
}

bool getMenuString(MenuHandle menu, uint32_t id, std::string& text) {
    MenuItem* item = itemById(menu, id);
    if (!item)
        return false;
    text = item->text;
    return true;
}

bool setMenuString(MenuHandle menu, uint32_t id, const std::string& text) {
    MenuItem* item = itemById(menu, id);
    if (!item)
        return false;
    item->text = text;
    return true;
}

bool enableMenuItem(MenuHandle menu, uint32_t id, bool enable) {
    MenuItem* item = itemById(menu, id);
    if (!item)
        return false;
    item->enabled = enable;
    return true;
}

bool checkMenuItem(MenuHandle menu, uint32_t id, bool check) {
    MenuItem* item = itemById(menu, id);
    if (!item)
        return false;
    item->checked = check;
    return true;
}

bool setMenuItemRadio(MenuHandle menu, uint32_t id, bool radio) {
    MenuItem* item = itemById(menu, id);
    if (!item)
        return false;
    item->radio = radio;
    return true;
}

bool isMenuItemEnabled(MenuHandle menu, uint32_t id) {
    MenuItem* item = itemById(menu, id);
    return item && item->enabled;
}

bool isMenuItemChecked(MenuHandle menu, uint32_t id) {
    MenuItem* item = itemById(menu, id);
    return item && item->checked;
}

bool isMenuItemRadio(MenuHandle menu, uint32_t id) {
    MenuItem* item = itemById(menu, id);
    return item && item->radio;
}

bool setWindowMenu(WindowHandle window, MenuHandle menu) {
    if (!window || (menu && !live(menu)))
        return false;
    std::lock_guard guard(tableLock());
    if (menu)
        windowMenus()[window] = menu;
    else
        windowMenus().erase(window);
    return true;
}

MenuHandle getWindowMenu(WindowHandle window) {
    std::lock_guard guard(tableLock());
    auto it = windowMenus().find(window);
    return it == windowMenus().end() ? nullptr : it->second;
}

uint32_t openWindowMenuPopup(WindowHandle window, int32_t barPosition, uint32_t chosenId) {
    MenuHandle bar = getWindowMenu(window);
    MenuHandle popup = getSubMenu(bar, barPosition);
    if (!popup)
        return 0;
    sendMessage(window, kWmInitMenuPopup, reinterpret_cast<uintptr_t>(popup), barPosition);
    if (chosenId == 0 || !isMenuItemEnabled(popup, chosenId))
        return 0;
    postMessage(window, kWmCommand, chosenId & 0xFFFF, 0);
    return chosenId;
}

uint32_t trackPopupMenu(MenuHandle menu, const Point& at, WindowHandle) {
    if (!live(menu))
        return 0;
    MenuAnswerHook hook;
    {
        std::lock_guard guard(tableLock());
        hook = answerHook();
    }
    if (!hook)
        return 0;
    uint32_t id = hook(menu, at);
    return id != 0 && isMenuItemEnabled(menu, id) ? id : 0;
}

void setMenuAnswerHook(MenuAnswerHook hook) {
    std::lock_guard guard(tableLock());
    answerHook() = std::move(hook);
}

}  // namespace Platform::window
