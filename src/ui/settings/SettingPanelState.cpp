#include "ui/settings/SettingPanelState.h"

#include "edit/Object.h"

namespace Component {

void SettingPanelState::calcSectionIndex(int32_t frame) {
    if (!object) return;
    const Edit::Object& o = *object;
    const auto n = static_cast<int32_t>(o.midpoints.size());
    sectionCount = n + 1;
    int32_t s = 0;
    while (s < n && o.midpoints[static_cast<size_t>(s)] <= frame - o.start) ++s;
    currentPoint = shownIndex = s;
    int32_t first = o.start;
    int32_t length = o.end - o.start;
    if (n > 0) {
        if (s == 0) {
            length = o.midpoints[0];
        } else if (s < n) {
            first = o.start + o.midpoints[static_cast<size_t>(s - 1)];
            length = o.midpoints[static_cast<size_t>(s)] - o.midpoints[static_cast<size_t>(s - 1)];
        } else {
            first = o.start + o.midpoints[static_cast<size_t>(n - 1)];
            length = o.end - o.midpoints[static_cast<size_t>(n - 1)] - o.start;
        }
    }
    // Past the middle of its section the frame is nearer the next boundary.
    if (frame > first + length / 2) {
        currentPoint = s + 1;
        if (sectionViewMode != kWholeSection) shownIndex = s + 1;
    }
}

const Control::EditFocusGroup::Members& SettingPanelState::focusChain() {
    if (!focusChain_) focusChain_ = std::make_shared<std::vector<Control::EditFocusGroup*>>();
    return focusChain_;
}

}  // namespace Component
