#pragma once

#include "ui/menus/MenuBase.h"

namespace Menu {

// The "表示" popup: the preview's display switches (camera grid, camera
// edit view, clipping visualisation) as check entries.
class DisplayMenu final : public MenuBase {
public:
    using MenuBase::MenuBase;
    void createMenu() override;
};

}  // namespace Menu
