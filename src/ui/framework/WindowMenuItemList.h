#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/window/Menu.h"

namespace Window {

// A popup whose items are all generated (recent files, export formats): the
// list owns every item of its menu and rewrites them from its provider.
struct WindowMenuItemList {
    using TextProvider = std::function<std::vector<std::wstring>()>;

    Platform::window::MenuHandle menu = nullptr;
    int32_t firstId = 0;
    int32_t count = 0;
    TextProvider provider;
    bool frozen = false;

    // Deletes every item and appends one per entry ("&N text" when numbered).
    // Nothing while frozen; entries beyond count are left out.
    void updateItemList(bool numbered);
};

}  // namespace Window
