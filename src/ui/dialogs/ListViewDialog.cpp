#include "ui/dialogs/ListViewDialog.h"

#include "ui/dialogs/DialogItemListView.h"

namespace Dialog {

std::wstring ListViewDialog::ListViewItem::getText(int32_t column) const {
    return column >= 0 && size_t(column) < texts.size() ? texts[size_t(column)] : std::wstring();
}

void ListViewDialog::ListViewItem::fillEditor(int32_t, DialogItem&) {}

void ListViewDialog::ListViewItem::readEditor(int32_t, DialogItem&) {}

bool ListViewDialog::open() {
    auto list = std::make_unique<DialogItemListView<ListViewItem>>(size, false);
    for (const Column& column : columns) list->appendColumn(column.text.c_str(), column.width);
    for (auto& row : rows) list->appendItem(std::make_unique<ListViewItem>(std::move(row)));
    rows.clear();
    append(std::move(list));
    return create(size);
}

}  // namespace Dialog
