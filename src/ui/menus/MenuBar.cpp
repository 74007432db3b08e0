#include "ui/menus/MenuBar.h"

#include "ui/framework/WindowMenuManager.h"

namespace Menu {

MenuBar::MenuBar(Window::WindowMenuManager& bar)
    : file(*bar.windowMenu[Window::WindowMenu::File].menu), edit(*bar.windowMenu[Window::WindowMenu::Edit].menu),
      display(*bar.windowMenu[Window::WindowMenu::Display].menu),
      setting(*bar.windowMenu[Window::WindowMenu::Settings].menu),
      etc(*bar.windowMenu[Window::WindowMenu::Other].menu) {
    bar.addBuilder([this](Window::WindowMenuManager&) { file.createMenu(); });
    bar.addBuilder([this](Window::WindowMenuManager&) { edit.createMenu(); });
    bar.addBuilder([this](Window::WindowMenuManager&) { display.createMenu(); });
    bar.addBuilder([this](Window::WindowMenuManager&) { setting.createMenu(); });
    bar.addBuilder([this](Window::WindowMenuManager&) { etc.createMenu(); });
}

}  // namespace Menu
