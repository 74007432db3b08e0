#include "ui/framework/WindowMenuManager.h"

#include "core/Exception.h"
#include "ui/framework/MenuText.h"
#include "ui/framework/ShortcutList.h"

namespace Window {

namespace W = Platform::window;

namespace {

W::MenuHandle createBar() {
    W::MenuHandle bar = W::createMenu();
    if (!bar)
        throw System::lastErrorException("CreateMenu", "Window::WindowMenuManager::WindowMenuManager");
    return bar;
}

std::wstring beforeTab(const std::wstring& text) { return text.substr(0, text.find(L'\t')); }

}  // namespace

WindowMenuManager::WindowMenuManager() : RootMenu(createBar()), windowMenu(*this) {}

WindowMenuManager::~WindowMenuManager() {
    if (menuWindow)
        W::setWindowMenu(menuWindow, nullptr);
    W::destroyMenu(menu);
}

void WindowMenuManager::setWindowMenu(W::WindowHandle target) {
    if (!W::setWindowMenu(target, menu))
        throw System::lastErrorException("SetMenu", "Window::WindowMenuManager::setWindowMenu");
    menuWindow = target;
}

WindowMenuItemList& WindowMenuManager::insertItemList(BaseMenu& target, int32_t count,
                                                      std::function<void(int32_t)> action,
                                                      WindowMenuItemList::TextProvider provider) {
    auto list = std::make_unique<WindowMenuItemList>();
    list->menu = target.menu;
    list->firstId = nextCommandId();
    list->count = count;
    list->provider = std::move(provider);
    for (int32_t i = 0; i < count; ++i)
        addCommand([action, i] { action(i); });
    itemLists.push_back(std::move(list));
    return *itemLists.back();
}

void WindowMenuManager::registerShortcuts(WindowMenuItemList& list, const BaseMenu& labelled) {
    list.updateItemList(false);
    list.frozen = true;
    auto* shortcuts = ShortcutList::get();
    if (!shortcuts)
        return;
    const int32_t count = W::getMenuItemCount(list.menu);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t id = W::getMenuItemId(list.menu, i);
        const std::wstring text = beforeTab(MenuText::getItemText(list.menu, id));
        shortcuts->add(labelled.label + L":" + text, 0, {}, list.menu, id,
                       MenuText::translate(labelled.label) + L":" + text);
    }
}

std::wstring WindowMenuManager::getItemText(const Item& item) {
    return MenuText::translate(item.parentLabel) + L":" + beforeTab(MenuText::getItemText(item.menu, item.id));
}

std::wstring WindowMenuManager::getItemName(const Item& item) { return item.parentLabel + L":" + item.label; }

void WindowMenuManager::setShortcut(const Item& item, int32_t defaultCode) {
    if (auto* shortcuts = ShortcutList::get())
        shortcuts->add(getItemName(item), defaultCode, {}, item.menu, item.id, getItemText(item));
}

void WindowMenuManager::refresh() {
    for (const auto& [id, predicate] : enables)
        W::enableMenuItem(menu, static_cast<uint32_t>(id), predicate());
    for (const auto& [id, predicate] : checks)
        W::checkMenuItem(menu, static_cast<uint32_t>(id), predicate());
    for (const auto& [id, text] : texts)
        MenuText::setItemText(menu, id, text());
    for (auto& list : itemLists)
        list->updateItemList(true);
}

void WindowMenuManager::addBuilder(Builder builder) {
    builders_.push_back(std::move(builder));
    builders_.back()(*this);
}

void WindowMenuManager::rebuild() {
    windowMenu.DeleteMenuItem();
    if (auto* shortcuts = ShortcutList::get())
        shortcuts->remove([](const Shortcut& entry) { return entry.menuHandle != nullptr; });
    enables.clear();
    checks.clear();
    texts.clear();
    itemLists.clear();
    // Every command of the bar is made again below: reusing the ids keeps
    // them within the 16 bits a command message carries.
    commands.clear();
    for (auto& top : windowMenu.menus)
        top.updateText(menu);
    for (auto& builder : builders_)
        builder(*this);
    if (menuWindow)
        W::drawMenuBar(menuWindow);
}

}  // namespace Window
