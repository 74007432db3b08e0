#pragma once
#include <cstdint>
#include <memory>

#include "ui/controls/WindowControlRenderTarget.h"
#include "ui/panels/preview/AnchorControl.h"

namespace Platform::draw2d {
class StrokeStyle;
class Brush;
}  // namespace Platform::draw2d

// The preview's canvas: the frame bitmap where the preview area places it,
// the surround in the style's "OutsideDisplay", and the anchors over the
// frame, hovered, pressed and dragged with the mouse.
namespace Component {

class PreviewControl;

class PreviewVideoControl : public Anchor::AnchorControl, public Window::WindowControlRenderTarget {
public:
    PreviewVideoControl(PreviewControl& owner, int32_t x, int32_t y, int32_t w, int32_t h);
    ~PreviewVideoControl() override;

    void procPaint() override;
    void procMouseMove(int32_t x, int32_t y) override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procRButtonDown(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t x, int32_t y) override;
    bool procDragKey(int32_t key) override;
    void procKeyRelease() override;
    void procDragCancel() override;
    void procCaptureLost() override;
    void procMouseLeave() override;
    void procMouseHover() override;

    // Draws the shown anchors in the current draw scope.
    void drawAnchors();
    // The tool tip of an anchor: empty for none.
    std::wstring anchorToolTip(const Anchor::AnchorItem& item) const;

    void showMoveCursor() override;
    void refuseDrag() override;
    void armEmptyDrag() override;
    Window::WindowControl* selectionControl() override { return this; }

private:
    void drawAnchor(const Anchor::AnchorItem& item, const Platform::draw2d::Brush& ink, float width,
                    const Platform::draw2d::StrokeStyle* style, bool highlight);
    const Platform::draw2d::Brush& lookBrush(Look look) const;
    void repaint();
    void logPlace() const;

    PreviewControl& owner_;
    std::unique_ptr<Platform::draw2d::StrokeStyle> dashed_;
    int32_t pressX_ = 0, pressY_ = 0;
};

}  // namespace Component
