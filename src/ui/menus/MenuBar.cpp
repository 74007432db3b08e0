#include "ui/menus/MenuBar.h"

#include "ui/framework/WindowMenuManager.h"

namespace Menu {

MenuBar::MenuBar(Window::WindowMenuManager& bar)
    : file(*bar.windowMenu[Window::WindowMenu::File].menu), edit(*bar.windowMenu[Window::WindowMenu::Edit].menu),
      display(*bar.windowMenu[Window::WindowMenu::Display].menu) {
    bar.addBuilder([this](Window::WindowMenuManager&) { file.createMenu(); });
    bar.addBuilder([this](Window::WindowMenuManager&) { edit.createMenu(); });
    bar.addBuilder([this](Window::WindowMenuManager&) { display.createMenu(); });
}

}  // namespace Menu
