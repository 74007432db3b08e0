#pragma once
#include <cstdint>

#include "ui/menus/MenuBase.h"

namespace Menu {

// The "ファイル" popup: new, open, the recent and backed-up projects, save,
// save as, export through each output plug-in, and the two ways to exit.
class FileMenu final : public MenuBase {
public:
    // How many entries each history submenu can show.
    static constexpr int32_t kHistoryCount = 50;

    using MenuBase::MenuBase;
    void createMenu() override;
};

}  // namespace Menu
