#include "ui/controls/ListItemBase.h"

#include <algorithm>

#include "ui/controls/ListItemControl.h"

namespace Control {

void ListItemBase::swapOrder(ListItemBase& other) {
    if (!isMovable() || !other.isMovable()) return;
    const int32_t mine = order(), theirs = other.order();
    setOrder(theirs);
    other.setOrder(mine);
    std::sort(list->items.begin(), list->items.end(),
              [](const auto& a, const auto& b) { return a->order() < b->order(); });
    list->layoutItems();
    list->procMove();
    list->invalidate();
}

}  // namespace Control
