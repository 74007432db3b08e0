#include "ui/framework/RootMenu.h"

namespace Window {

int32_t RootMenu::addCommand(std::function<void()> action) {
    const int32_t id = nextCommandId();
    commands.emplace(id, std::move(action));
    return id;
}

bool RootMenu::runCommand(int32_t id) {
    auto it = commands.find(id);
    if (it == commands.end() || !it->second)
        return false;
    // A copy: the command may rebuild the menus.
    auto action = it->second;
    action();
    return true;
}

}  // namespace Window
