#include "ui/dialogs/MenuDefineDialog.h"

#include <algorithm>

#include "effect/MenuDefineBase.h"
#include "ui/dialogs/DialogItemNameComboBox.h"

namespace Dialog {

MenuDefineDialogBase::MenuDefineItem::MenuDefineItem(Menu::MenuDefineBase& entry)
    : name(entry.getDisplayName()), label(entry.label), visible(entry.hide == 0), entry(&entry) {}

std::wstring MenuDefineDialogBase::MenuDefineItem::getText(int32_t column) const {
    if (column == 0) return name;
    if (column == 1) return label;
    return {};
}

void MenuDefineDialogBase::MenuDefineItem::fillEditor(int32_t column, DialogItem& editor) {
    if (auto* combo = dynamic_cast<DialogItemComboBox*>(&editor); combo != nullptr && column == 1) combo->text = label;
}

void MenuDefineDialogBase::MenuDefineItem::readEditor(int32_t column, DialogItem& editor) {
    if (auto* combo = dynamic_cast<DialogItemComboBox*>(&editor); combo != nullptr && column == 1) label = combo->text;
}

bool MenuDefineDialogBase::open() {
    List* list = append(std::make_unique<List>(640, true));
    list->appendColumn(L"項目(表示順)", 400);
    auto editor = std::make_unique<DialogItemNameComboBox>(L"", L"");
    DialogItemNameComboBox* labels = editor.get();
    list->appendColumn(L"ラベル", 200, std::move(editor));
    list->checkBoxes = true;
    fillItems(*list);
    // The labels of the rows join the choices as they are met; none is taken away.
    labels->provider = [list](std::vector<std::wstring>& choices) {
        for (const MenuDefineItem* row : list->getItemList())
            if (!row->label.empty() && std::find(choices.begin(), choices.end(), row->label) == choices.end())
                choices.push_back(row->label);
    };

    Window::PopupMenu& menu = list->contextMenu;
    menu.insertItem(L"先頭に移動", [list] {
        if (list->contextItem != nullptr) list->moveItem(list->getItemLine(list->contextItem), 0);
    });
    menu.insertItem(L"最後に移動", [list] {
        if (list->contextItem != nullptr)
            list->moveItem(list->getItemLine(list->contextItem), list->lineCount() - 1);
    });
    menu.insertSeparator();
    const auto contextLabel = [list](std::wstring& label) {
        auto* row = dynamic_cast<MenuDefineItem*>(list->contextItem);
        if (row == nullptr) return false;
        label = row->label;
        return true;
    };
    menu.insertItem(L"同じラベルの項目を全て先頭に移動", [list, contextLabel] {
        std::wstring label;
        if (!contextLabel(label)) return;
        int32_t to = 0;
        for (MenuDefineItem* row : list->getItemViewList())
            if (row->label == label) list->moveItem(list->getItemLine(row), to++);
    });
    menu.insertItem(L"同じラベルの項目を全て最後に移動", [list, contextLabel] {
        std::wstring label;
        if (!contextLabel(label)) return;
        const auto rows = list->getItemViewList();
        int32_t to = static_cast<int32_t>(rows.size());
        for (auto at = rows.rbegin(); at != rows.rend(); ++at)
            if ((*at)->label == label) list->moveItem(list->getItemLine(*at), --to);
    });
    menu.insertSeparator();
    menu.insertItem(L"全ての項目をラベルのグループで纏める", [list] {
        const auto rows = list->getItemViewList();
        std::vector<std::wstring> groups;
        for (const MenuDefineItem* row : rows)
            if (std::find(groups.begin(), groups.end(), row->label) == groups.end()) groups.push_back(row->label);
        int32_t to = 0;
        for (const std::wstring& group : groups)
            for (MenuDefineItem* row : rows)
                if (row->label == group) list->moveItem(list->getItemLine(row), to++);
    });
    menu.insertSeparator();
    menu.insertItem(L"全ての項目の表示を有効にする", [list] {
        for (int32_t line = 0; line < list->lineCount(); ++line) list->setItemCheck(line, true);
    });
    menu.insertItem(L"全ての項目の表示を無効にする", [list] {
        for (int32_t line = 0; line < list->lineCount(); ++line) list->setItemCheck(line, false);
    });

    if (!create(600)) return false;
    int32_t order = 0;
    for (MenuDefineItem* row : list->getItemViewList()) {
        row->entry->order = order++;
        row->entry->label = row->label;
        row->entry->hide = row->visible ? 0 : 1;
    }
    return true;
}

}  // namespace Dialog
