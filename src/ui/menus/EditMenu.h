#pragma once

#include "ui/menus/MenuBase.h"

namespace Menu {

// The "編集" popup: cursor movement, the object commands (cut, copy, paste,
// delete, split, duplicate) and undo / redo of the current scene.
class EditMenu final : public MenuBase {
public:
    using MenuBase::MenuBase;
    void createMenu() override;
};

}  // namespace Menu
