#include "ui/controls/ControlContainer.h"

#include "ui/controls/WindowControl.h"

namespace Window {

void ControlContainer::updateChildLayout() {
    if (sourceRect != nullptr) layoutRect = *sourceRect;
    layoutRect.x -= offsetX;
    layoutRect.y -= offsetY;
    // A control may remove others while it moves: walk by index.
    for (size_t i = 0; i < children.size(); ++i) {
        WindowControl* child = children[i];
        child->updateLayout();
        child->procMove();
    }
}

}  // namespace Window
