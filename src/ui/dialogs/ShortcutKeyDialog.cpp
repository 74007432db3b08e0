#include "ui/dialogs/ShortcutKeyDialog.h"

#include "ui/dialogs/DialogItemKeyCode.h"
#include "ui/dialogs/DialogItemListView.h"
#include "ui/framework/MenuText.h"
#include "ui/framework/Shortcut.h"
#include "ui/framework/ShortcutList.h"

namespace Dialog {

ShortcutKeyDialog::ShortcutItem::ShortcutItem(Window::Shortcut& entry) : entry(entry) { setCode(entry.code); }

void ShortcutKeyDialog::ShortcutItem::setCode(int32_t value) {
    code = value;
    codeText = Window::Shortcut::getCodeName(value);
}

std::wstring ShortcutKeyDialog::ShortcutItem::getText(int32_t column) const {
    if (column == 0) return entry.name;
    if (column == 1) return codeText;
    return {};
}

void ShortcutKeyDialog::ShortcutItem::fillEditor(int32_t column, DialogItem& editor) {
    if (auto* key = dynamic_cast<DialogItemKeyCode*>(&editor); key != nullptr && column == 1) key->code = code;
}

void ShortcutKeyDialog::ShortcutItem::readEditor(int32_t column, DialogItem& editor) {
    if (auto* key = dynamic_cast<DialogItemKeyCode*>(&editor); key != nullptr && column == 1) setCode(key->code);
}

bool ShortcutKeyDialog::open() {
    Window::ShortcutList* shortcuts = Window::ShortcutList::get();
    if (shortcuts == nullptr) return false;
    using List = DialogItemListView<ShortcutItem>;
    List* list = append(std::make_unique<List>(600, false));
    list->appendColumn(L"操作", 400);
    list->appendColumn(L"ショートカットキー", 200, std::make_unique<DialogItemKeyCode>(L"", 0));
    for (Window::Shortcut& entry : shortcuts->entries) list->appendItem(std::make_unique<ShortcutItem>(entry));

    list->contextMenu.insertItem(L"ショートカットキーを標準に戻す", [list] {
        auto* row = dynamic_cast<ShortcutItem*>(list->contextItem);
        if (row == nullptr) return;
        row->setCode(row->entry.defaultCode);
        list->update();
    });
    list->contextMenu.insertSeparator();
    list->contextMenu.insertItem(L"全てのショートカットキーを標準に戻す", [list] {
        for (ShortcutItem* row : list->getItemList()) row->setCode(row->entry.defaultCode);
        list->update();
    });

    if (!create(600)) return false;
    for (ShortcutItem* row : list->getItemList()) {
        if (row->code == row->entry.code) continue;
        row->entry.code = row->code;
        // A rebuilt menu bar registers its commands again with these codes.
        shortcuts->userCodes.insert_or_assign(row->entry.name, row->code);
        if (row->entry.menuHandle != nullptr)
            Window::MenuText::setShortcutText(row->entry.menuHandle, row->entry.menuId,
                                              Window::Shortcut::getCodeName(row->code));
    }
    (void)shortcuts->save();
    return true;
}

}  // namespace Dialog
