#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/dialogs/DialogItemListViewBase.h"
#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// A read-only table in a dialog: columns, rows of texts, sorted by a click on
// a column header. size is both the list's height and the dialog's minimum
// client width.
class ListViewDialog : public DialogTemplate {
public:
    class ListViewItem : public DialogItemListViewBase::Item {
    public:
        explicit ListViewItem(std::vector<std::wstring> texts) : texts(std::move(texts)) {}
        std::wstring getText(int32_t column) const override;
        void fillEditor(int32_t column, DialogItem& editor) override;
        void readEditor(int32_t column, DialogItem& editor) override;

        std::vector<std::wstring> texts;
    };
    struct Column {
        std::wstring text;
        int32_t width = 0;
    };

    explicit ListViewDialog(const wchar_t* caption = nullptr) : DialogTemplate(caption) {}

    // Runs the table; the rows are handed to the list (emptied here).
    bool open();

    std::vector<Column> columns;
    std::vector<std::vector<std::wstring>> rows;
    int32_t size = 600;
};

}  // namespace Dialog
