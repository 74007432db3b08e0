#include "ui/framework/BaseMenu.h"

#include "core/Exception.h"
#include "core/TextConvert.h"
#include "ui/framework/MenuText.h"
#include "ui/framework/RootMenu.h"

namespace Window {

namespace W = Platform::window;

void BaseMenu::Item::setRadioCheck() const { W::setMenuItemRadio(menu, static_cast<uint32_t>(id), true); }

BaseMenu::BaseMenu(BaseMenu& parent, const std::wstring& label) : root(parent.root), label(label) {
    constexpr const char* kScope = "Window::BaseMenu::BaseMenu";
    menu = W::createPopupMenu();
    if (!menu)
        throw System::lastErrorException("CreatePopupMenu", kScope);
    if (!W::appendSubMenu(parent.menu, menu, System::wideToUtf8(MenuText::translate(label)))) {
        W::destroyMenu(menu);
        throw System::lastErrorException("InsertMenu", kScope);
    }
}

BaseMenu::Item BaseMenu::insertItem(const std::wstring& itemLabel, std::function<void()> action) {
    const int32_t id = root->nextCommandId();
    if (!W::appendMenuString(menu, static_cast<uint32_t>(id), System::wideToUtf8(MenuText::translate(itemLabel))))
        throw System::lastErrorException("InsertMenu", "Window::BaseMenu::insertItem");
    root->addCommand(std::move(action));
    return Item{menu, id, label, itemLabel};
}

void BaseMenu::insertSeparator() {
    if (!W::appendMenuSeparator(menu))
        throw System::lastErrorException("InsertMenu", "Window::BaseMenu::insertSeparator");
}

int32_t BaseMenu::getSubMenuPosition(W::MenuHandle parent, W::MenuHandle sub) {
    const int32_t count = W::getMenuItemCount(parent);
    for (int32_t i = 0; i < count; ++i)
        if (W::getSubMenu(parent, i) == sub)
            return i;
    return -1;
}

}  // namespace Window
