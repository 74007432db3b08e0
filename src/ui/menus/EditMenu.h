#pragma once

#include <cstdint>
#include <functional>

#include "ui/menus/MenuBase.h"

namespace Menu {

// The "編集" popup: cursor movement, the object commands (clipboard, split,
// duplicate, length, midpoints, groups, show or hide), the frame at the
// cursor copied as an image, the frame-range selection, focus stepping,
// undo / redo and clearing the caches.
class EditMenu final : public MenuBase {
public:
    using MenuBase::MenuBase;
    void createMenu() override;

    // What the frame-range entries act on, installed at start-up by the
    // timeline: sets the range (-1 leaves a bound to the timeline's rules;
    // -1, -1 clears it). Without it the entries do nothing.
    struct Views {
        std::function<void(int32_t start, int32_t end)> selectFrameRange;
    };
    // Returns the views installed before.
    static Views setViews(Views views);
};

}  // namespace Menu
