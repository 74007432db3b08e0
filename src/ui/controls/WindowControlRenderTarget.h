#pragma once
#include <cstdint>

#include "media/gpu/RenderTarget.h"
#include "ui/controls/WindowControl.h"

namespace Platform::draw2d {
class Brush;
}

// A control drawn on the main window's one target: its drawing scopes nest
// in those of the panel and of the window service.
namespace Window {

class WindowControlRenderTarget : public WindowControl, public Media::RenderTarget {
public:
    WindowControlRenderTarget(ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    WindowControlRenderTarget(WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);

protected:
    // The draw scope of a control's procPaint: clipped to the visible
    // rectangle, the origin at the full rectangle's top-left.
    class ControlScope {
    public:
        explicit ControlScope(WindowControlRenderTarget& control);
        ControlScope(const ControlScope&) = delete;
        ControlScope& operator=(const ControlScope&) = delete;

    private:
        DrawScope scope_;
    };

    // Whether procPaint draws: visible, with a visible area, on a window that exists.
    bool canPaint() const;
    // The style brush.
    static Platform::draw2d::Brush& brush(int32_t index);
    // The rectangle (0, 0, w, h) stroked 2 pixels wide inside its edges in `Border`.
    void drawOutline();
    // A line in floating-point coordinates relative to the origin.
    void drawLineF(float x1, float y1, float x2, float y2, const Platform::draw2d::Brush& brush, float width,
                   const Platform::draw2d::StrokeStyle* style);
    void fillRectangleF(float left, float top, float right, float bottom, const Platform::draw2d::Brush& brush);
};

}  // namespace Window
