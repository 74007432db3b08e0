#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/framework/RootMenu.h"
#include "ui/framework/WindowMenu.h"
#include "ui/framework/WindowMenuItemList.h"

namespace Window {

// The menu bar of the main window: its commands, the five top menus, and
// what is refreshed each time one of its popups opens.
class WindowMenuManager : public RootMenu {
public:
    using Predicate = std::function<bool()>;
    using TextFunction = std::function<std::wstring()>;
    // Fills the top menus (again after a language change).
    using Builder = std::function<void(WindowMenuManager&)>;

    WindowMenuManager();
    ~WindowMenuManager() override;

    // Attaches the bar to the window; throws "SetMenu" on failure.
    void setWindowMenu(Platform::window::WindowHandle window);

    void setEnable(const Item& item, Predicate predicate) { enables[item.id] = std::move(predicate); }
    void setCheck(const Item& item, Predicate predicate) { checks[item.id] = std::move(predicate); }
    void setText(const Item& item, TextFunction text) { texts[item.id] = std::move(text); }

    // count commands with consecutive ids, the i-th running action(i).
    WindowMenuItemList& insertItemList(BaseMenu& menu, int32_t count, std::function<void(int32_t)> action,
                                       WindowMenuItemList::TextProvider provider);
    // Fills the list once, freezes it and registers each entry as a command
    // of the shortcut list named "<menu label>:<entry text>" with no key.
    void registerShortcuts(WindowMenuItemList& list, const BaseMenu& labelled);

    // "<translated parent label>:<item text>", as the user sees it.
    static std::wstring getItemText(const Item& item);
    // The untranslated name the item's key is stored under.
    static std::wstring getItemName(const Item& item);
    // Registers the item with the shortcut list under its default key.
    static void setShortcut(const Item& item, int32_t defaultCode);

    // Enables, checks, texts and lists of the whole bar, before a popup opens.
    void refresh();
    // Adds a builder and runs it.
    void addBuilder(Builder builder);
    // Empties and fills the menus again in the current language; the
    // command ids start again from CommandIdBase.
    void rebuild();

    WindowMenu windowMenu;
    std::unordered_map<int32_t, Predicate> enables;
    std::unordered_map<int32_t, Predicate> checks;
    std::unordered_map<int32_t, TextFunction> texts;
    std::vector<std::unique_ptr<WindowMenuItemList>> itemLists;
    Platform::window::WindowHandle menuWindow = nullptr;

private:
    std::vector<Builder> builders_;
};

}  // namespace Window
