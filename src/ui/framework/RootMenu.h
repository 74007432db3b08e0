#pragma once
#include <cstdint>
#include <functional>
#include <unordered_map>

#include "ui/framework/BaseMenu.h"

namespace Window {

// A menu that owns the command ids of the items below it: ids count up from
// CommandIdBase in insertion order.
class RootMenu : public BaseMenu {
public:
    static constexpr int32_t CommandIdBase = 40000;

    explicit RootMenu(Platform::window::MenuHandle menu) : BaseMenu(this, menu) {}

    int32_t nextCommandId() const { return CommandIdBase + static_cast<int32_t>(commands.size()); }
    // Stores the action under the next id and returns the id.
    int32_t addCommand(std::function<void()> action);
    // Runs the command under the id; false when there is none.
    bool runCommand(int32_t id);

    std::unordered_map<int32_t, std::function<void()>> commands;
};

}  // namespace Window
