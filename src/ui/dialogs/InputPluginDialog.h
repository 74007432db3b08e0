#pragma once
#include <cstdint>
#include <string>

#include "ui/dialogs/DialogItemListViewBase.h"
#include "ui/dialogs/DialogTemplate.h"

namespace Plugin {
class InputPlugin;
}

namespace Dialog {

// The input plug-ins in priority order (dragged to reorder) with the file
// extensions each is offered. OK stores the order as priorities and the
// extension lists, rebuilds the input service's tables and empties the open
// files and the caches, so the next read goes through the new order.
class InputPluginDialog : public DialogTemplate {
public:
    class InputPluginItem : public DialogItemListViewBase::Item {
    public:
        explicit InputPluginItem(Plugin::InputPlugin& plugin);
        std::wstring getText(int32_t column) const override;
        void fillEditor(int32_t column, DialogItem& editor) override;
        void readEditor(int32_t column, DialogItem& editor) override;
        // The extensions of the plug-in's file filter, joined with ",".
        std::wstring defaultExtensions() const;

        std::wstring name;
        std::wstring extensions;
        Plugin::InputPlugin& plugin;
    };

    explicit InputPluginDialog(const wchar_t* caption = L"入力プラグインの設定") : DialogTemplate(caption) {}

    bool open();

    // Keeps digits, ASCII letters, ",", "_" and "-" of the text, in order.
    static std::wstring filterExtensions(const std::wstring& text);
};

}  // namespace Dialog
