#pragma once
#include <functional>

#include "ui/menus/MenuBase.h"

namespace Menu {

// The "設定" popup: one entry per settings dialog, each opening its dialog
// with the entry's label as the caption. Every entry is a command of the
// shortcut list without a default key.
class SettingMenu final : public MenuBase {
public:
    using MenuBase::MenuBase;
    void createMenu() override;

    // Dialogs that live outside this library, installed at start-up; an
    // entry whose opener is empty does nothing. The caption is the label.
    struct Openers {
        std::function<void(const wchar_t* caption)> backup;
        std::function<void(const wchar_t* caption)> movementParams;
        std::function<void(const wchar_t* caption)> presetColor;
        std::function<void(const wchar_t* caption)> font;
    };
    // Returns the ones installed before.
    static Openers setOpeners(Openers openers);
};

}  // namespace Menu
