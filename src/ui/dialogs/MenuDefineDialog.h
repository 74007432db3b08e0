#pragma once
#include <cstdint>
#include <string>

#include "ui/dialogs/DialogItemListView.h"
#include "ui/dialogs/DialogTemplate.h"

namespace Menu {
class MenuDefineBase;
}

namespace Dialog {

// Edits the entries of one user-editable menu in a single list: the line is
// the entry's order, a combo box edits its label (the group it is listed
// under), a check box shows or hides it. The context menu moves rows and
// label groups. OK numbers the entries 0 to n-1 in the order shown and
// stores their labels and hide flags; Cancel touches nothing.
class MenuDefineDialogBase : public DialogTemplate {
public:
    class MenuDefineItem : public DialogItemListViewBase::Item {
    public:
        explicit MenuDefineItem(Menu::MenuDefineBase& entry);
        std::wstring getText(int32_t column) const override;
        void fillEditor(int32_t column, DialogItem& editor) override;
        void readEditor(int32_t column, DialogItem& editor) override;
        void setCheck(bool check) override { visible = check; }
        bool getCheck() const override { return visible; }

        std::wstring name;
        std::wstring label;
        bool visible = true;
        Menu::MenuDefineBase* entry = nullptr;
    };
    using List = DialogItemListView<MenuDefineItem>;

    using DialogTemplate::DialogTemplate;

    // True when OK was pressed and the entries were updated.
    bool open();

protected:
    // Appends one row per entry of the menu, in the menu's order.
    virtual void fillItems(List& list) = 0;
};

template <class T>
class MenuDefineDialog : public MenuDefineDialogBase {
public:
    using MenuDefineDialogBase::MenuDefineDialogBase;
};

}  // namespace Dialog
