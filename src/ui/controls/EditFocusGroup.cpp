#include "ui/controls/EditFocusGroup.h"

#include <algorithm>

namespace Control {

EditFocusGroup::~EditFocusGroup() {
    if (members) members->clear();
    members.reset();
}

void EditFocusGroup::setGroup(const Members& list) {
    members = list;
    if (members) members->push_back(this);
}

EditFocusGroup* EditFocusGroup::nextFocusable(bool backward) const {
    if (!members || members->empty()) return nullptr;
    const auto& list = *members;
    const auto self = std::find(list.begin(), list.end(), this);
    if (self == list.end()) return nullptr;
    const auto n = static_cast<ptrdiff_t>(list.size());
    const ptrdiff_t at = self - list.begin();
    for (ptrdiff_t step = 1; step < n; ++step) {
        const ptrdiff_t i = ((backward ? at - step : at + step) % n + n) % n;
        if (list[static_cast<size_t>(i)]->canFocus()) return list[static_cast<size_t>(i)];
    }
    return nullptr;
}

}  // namespace Control
