#pragma once
#include <cstdint>
#include <string>

#include "ui/dialogs/DialogItemListViewBase.h"
#include "ui/dialogs/DialogTemplate.h"

namespace Window {
struct Shortcut;
}

namespace Dialog {

// Edits the key of every command of the shortcut list: one row per command,
// its key edited by pressing it in a key field over the cell; the context
// menu restores defaults. OK sets the changed keys, renews the shortcut
// texts of their menu items and saves the list.
class ShortcutKeyDialog : public DialogTemplate {
public:
    class ShortcutItem : public DialogItemListViewBase::Item {
    public:
        explicit ShortcutItem(Window::Shortcut& entry);
        std::wstring getText(int32_t column) const override;
        void fillEditor(int32_t column, DialogItem& editor) override;
        void readEditor(int32_t column, DialogItem& editor) override;
        void setCode(int32_t value);

        Window::Shortcut& entry;
        std::wstring codeText;
        int32_t code = 0;
    };

    explicit ShortcutKeyDialog(const wchar_t* caption = L"ショートカットキーの設定") : DialogTemplate(caption) {}

    // True when OK applied the keys.
    bool open();
};

}  // namespace Dialog
