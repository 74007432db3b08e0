#pragma once
#include <vector>

#include "core/Exception.h"
#include "ui/dialogs/DialogItemListViewBase.h"

namespace Dialog {

// A list view item whose rows are all of one row class.
template <class T>
class DialogItemListView : public DialogItemListViewBase {
public:
    using DialogItemListViewBase::DialogItemListViewBase;

    // The rows in insertion order.
    std::vector<T*> getItemList() const {
        std::vector<T*> list;
        for (const auto& item : items) list.push_back(cast(item.get()));
        return list;
    }
    // The rows in display order (the final order once the dialog closed).
    std::vector<T*> getItemViewList() {
        updateItemViewList();
        std::vector<T*> list;
        for (Item* item : viewList) list.push_back(cast(item));
        return list;
    }

private:
    static T* cast(Item* item) {
        T* typed = dynamic_cast<T*>(item);
        if (typed == nullptr) throw System::messageException("Dialog::DialogItemListView", "invalid item class.");
        return typed;
    }
};

}  // namespace Dialog
