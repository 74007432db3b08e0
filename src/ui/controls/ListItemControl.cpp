#include "ui/controls/ListItemControl.h"

#include <algorithm>

#include "ui/framework/StyleBrushList.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"

namespace Control {

ListItemControl::ListItemControl(Window::ControlContainer& container, int32_t y)
    : WindowControlRenderTarget(container, 0, y, 0, 0),
      barContainer(priority + 1, &visibleRect, &fullRect),
      rowContainer(priority + 1, &visibleRect, &fullRect),
      scrollBar(barContainer, -Window::ScrollBarSize, 0, Window::ScrollBarSize) {
    acceptRightButton = true;
    acceptWheel = true;
    scrollBar.scrollAction = [this](ScrollBarControl&, int32_t first) {
        setScrollOffset(first);
        rowContainer.updateChildLayout();
        invalidate();
    };
    hideBar();
}

ListItemControl::~ListItemControl() {
    // The rows leave the row container before it goes.
    items.clear();
}

void ListItemControl::hideBar() {
    scrollBar.visible = false;
    scrollBar.layoutX = scrollBar.layoutY = scrollBar.layoutW = scrollBar.layoutH = -1;
    scrollBar.updateLayout();
    scrollBar.procMove();
}

void ListItemControl::layoutItems() {
    contentHeight = 0;
    const int32_t inset = scrollBar.visible ? -Window::ScrollBarSize : 0;
    for (const auto& item : items) {
        Window::WindowControl& row = *item->control;
        const int32_t height = row.fullRect.h;
        row.layoutX = 0, row.layoutY = contentHeight, row.layoutW = inset, row.layoutH = height;
        row.updateLayout();
        contentHeight += row.fullRect.h;
    }
}

void ListItemControl::setScrollOffset(int32_t offset) {
    const int32_t v = visibleRect.h;
    offset = std::clamp(offset, 0, std::max(contentHeight - v, 0));
    scrollBar.minimum = std::min(contentHeight, 0);
    scrollBar.maximum = std::max(contentHeight, 0);
    scrollBar.setPosition(scrollBar.first, scrollBar.last);
    scrollBar.setPosition(offset, offset + v);
    rowContainer.offsetY = offset;
    if (v < contentHeight && !scrollBar.visible) {
        scrollBar.visible = true;
        scrollBar.layoutX = -Window::ScrollBarSize, scrollBar.layoutY = 0;
        scrollBar.layoutW = Window::ScrollBarSize, scrollBar.layoutH = 0;
        scrollBar.updateLayout();
        scrollBar.procMove();
        scrollBar.wheelStep = items.empty() ? 1 : contentHeight * 2 / static_cast<int32_t>(items.size());
        layoutItems();
    } else if (v >= contentHeight && scrollBar.visible) {
        hideBar();
        layoutItems();
    }
}

int32_t ListItemControl::findItem(const ListItemBase* row) const {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == row) return static_cast<int32_t>(i);
    return -1;
}

void ListItemControl::procMove() {
    setScrollOffset(scrollBar.first);
    barContainer.updateChildLayout();
    rowContainer.updateChildLayout();
}

void ListItemControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const int32_t v = visibleRect.h;
    if (contentHeight < v) {
        // Below the last row, in the list's own coordinates.
        const int32_t top = std::max(contentHeight - rowContainer.offsetY, 0) + (visibleRect.y - fullRect.y);
        fillRectangle(visibleRect.x - fullRect.x, top, visibleRect.x - fullRect.x + visibleRect.w,
                      visibleRect.y - fullRect.y + v, brush(Window::StyleBrushList::Background));
    }
    for (size_t i = 0; i < barContainer.children.size(); ++i) barContainer.children[i]->procPaint();
    for (size_t i = 0; i < rowContainer.children.size(); ++i) rowContainer.children[i]->procPaint();
}

void ListItemControl::procMouseWheel(int32_t x, int32_t y, int32_t delta) {
    scrollBar.procMouseWheel(x + rect->x - scrollBar.visibleRect.x, y + rect->y - scrollBar.visibleRect.y, delta);
}

void ListItemControl::procRButtonDown(int32_t x, int32_t y) {
    if (service != nullptr) service->beginDrag(x, y, &Window::WindowMouseService::MouseCursor::SizeAll);
    panStartOffset = scrollBar.first;
}

void ListItemControl::procMouseDrag(int32_t, int32_t dy) {
    setScrollOffset(panStartOffset - dy);
    rowContainer.updateChildLayout();
    invalidate();
}

}  // namespace Control
