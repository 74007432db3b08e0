#include "ui/menus/MenuBase.h"

#include "ui/framework/WindowMenuManager.h"

namespace Menu {

Window::WindowMenuManager& MenuBase::bar() const { return dynamic_cast<Window::WindowMenuManager&>(*menu.root); }

}  // namespace Menu
