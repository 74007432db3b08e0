#include "ui/panels/ModelMenu.h"

#include <utility>

#include "platform/window/Menu.h"
#include "ui/framework/BaseMenu.h"

namespace Component {

void ModelMenu::insertItem(const std::wstring& text, bool enabled, std::function<void()> action) {
    const Window::BaseMenu::Item item = menu_.insertItem(text, std::move(action));
    if (!enabled) Platform::window::enableMenuItem(item.menu, static_cast<uint32_t>(item.id), false);
}

void ModelMenu::insertSeparator() { menu_.insertSeparator(); }

}  // namespace Component
