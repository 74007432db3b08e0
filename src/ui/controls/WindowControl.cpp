#include "ui/controls/WindowControl.h"

#include <algorithm>

#include "ui/controls/ControlContainer.h"
#include "ui/controls/PaintQueue.h"

namespace Window {

WindowControl::WindowControl(ControlContainer& owner, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowMouse(&visibleRect, owner.priority + 1),
      container(&owner),
      layoutX(x),
      layoutY(y),
      layoutW(w),
      layoutH(h),
      clipRef(owner.clipRect),
      layoutRef(&owner.layoutRect) {
    container->children.push_back(this);
    WindowControl::updateLayout();
}

WindowControl::WindowControl(WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowMouse(&visibleRect, parent.priority + 1),
      container(parent.container),
      layoutX(x),
      layoutY(y),
      layoutW(w),
      layoutH(h),
      clipRef(&parent.visibleRect),
      layoutRef(&parent.fullRect) {
    container->children.push_back(this);
    WindowControl::updateLayout();
}

WindowControl::~WindowControl() {
    PaintQueue::forget(this);
    std::erase(container->children, this);
}

void WindowControl::invalidate() { PaintQueue::invalidate(this); }

void WindowControl::procMove() {}

void WindowControl::updateLayout() {
    const MouseRect& r = *layoutRef;
    const int32_t left = layoutX + (layoutX < 0 ? r.x + r.w : r.x);
    const int32_t top = layoutY + (layoutY < 0 ? r.y + r.h : r.y);
    const int32_t right = std::max(layoutW > 0 ? left + layoutW : r.x + r.w + layoutW, left);
    const int32_t bottom = std::max(layoutH > 0 ? top + layoutH : r.y + r.h + layoutH, top);
    setRect(left, top, right, bottom);
}

void WindowControl::setRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    fullRect = {left, top, right - left, bottom - top};
    const MouseRect clip = clipRef != nullptr ? *clipRef : fullRect;
    const int32_t clipRight = clip.x + std::max(clip.w, 0);
    const int32_t clipBottom = clip.y + std::max(clip.h, 0);
    const int32_t x = std::clamp(left, clip.x, clipRight);
    const int32_t y = std::clamp(top, clip.y, clipBottom);
    visibleRect = {x, y, std::clamp(right, clip.x, clipRight) - x, std::clamp(bottom, clip.y, clipBottom) - y};
}

}  // namespace Window
