#include "ui/framework/PopupMenu.h"

#include "core/Exception.h"
#include "platform/window/TopLevel.h"

namespace Window {

namespace W = Platform::window;

W::Point PopupMenu::menuPoint{};
bool PopupMenu::inMenuCommand = false;
W::WindowHandle PopupMenu::owner = nullptr;

namespace {

PopupMenu::KeyHoldReleaser& keyHoldReleaser() {
    static PopupMenu::KeyHoldReleaser releaser;
    return releaser;
}

W::MenuHandle createPopup() {
    W::MenuHandle menu = W::createPopupMenu();
    if (!menu) throw System::lastErrorException("CreatePopupMenu", "Window::PopupMenu::PopupMenu");
    return menu;
}

}  // namespace

PopupMenu::KeyHoldReleaser PopupMenu::setKeyHoldReleaser(KeyHoldReleaser releaser) {
    std::swap(keyHoldReleaser(), releaser);
    return releaser;
}

PopupMenu::PopupMenu() : RootMenu(createPopup()) {}

PopupMenu::~PopupMenu() { W::destroyMenu(menu); }

int32_t PopupMenu::show(const std::function<void()>& closing) {
    if (!W::getCursorPos(menuPoint)) throw System::lastErrorException("GetCursorPos", "Window::PopupMenu::show");
    const int32_t id = static_cast<int32_t>(W::trackPopupMenu(menu, menuPoint, owner));
    if (closing) closing();
    if (id != 0) {
        struct Flag {
            Flag() { inMenuCommand = true; }
            ~Flag() { inMenuCommand = false; }
        } flag;
        runCommand(id);
    }
    if (keyHoldReleaser()) keyHoldReleaser()();
    return id;
}

}  // namespace Window
