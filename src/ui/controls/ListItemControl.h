#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/controls/ControlContainer.h"
#include "ui/controls/ListItemBase.h"
#include "ui/controls/ScrollBarControl.h"
#include "ui/controls/WindowControlRenderTarget.h"

// A vertically scrolling list of row controls stacked at their own heights,
// with a scroll bar at its right edge that shows only while the rows do not
// fit. The wheel anywhere over it scrolls, and a drag with the right button
// pans it. The scroll offset is in pixels.
//
// Owners create each row's control in `rowContainer` with its height as its
// layout height, add the row to `items`, then call layoutItems and procMove.
namespace Control {

class ListItemControl : public Window::WindowControlRenderTarget {
public:
    // Fills the container below y.
    ListItemControl(Window::ControlContainer& container, int32_t y);
    ~ListItemControl() override;

    void procMove() override;
    void procPaint() override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    void procRButtonDown(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t dx, int32_t dy) override;

    // Stacks the rows top-down in `items` order, narrowed by the scroll bar
    // while it shows, and sums their heights.
    void layoutItems();
    // Scrolls to the offset, clamped to the rows; shows or hides the scroll
    // bar when the rows stop or start fitting.
    void setScrollOffset(int32_t offset);
    // Index of the row in `items`, -1 when absent.
    int32_t findItem(const ListItemBase* row) const;

    int32_t contentHeight = 0;
    int32_t panStartOffset = 0;
    Window::ControlContainer barContainer;
    Window::ControlContainer rowContainer;
    ScrollBarControl scrollBar;
    // Declared after the containers, so the rows go before them.
    std::vector<std::unique_ptr<ListItemBase>> items;

private:
    void hideBar();
};

}  // namespace Control
