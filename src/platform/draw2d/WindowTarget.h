#pragma once
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/Message.h"

namespace Platform::draw2d {

// The target of a top-level window: its persistent client-area surface, shown
// on screen at every endDraw. The size follows the window's client size.
class WindowTarget : public RenderTarget {
public:
    // kInvalidArg when the handle is no window.
    static Result create(Platform::window::WindowHandle window, std::unique_ptr<WindowTarget>& out);
    Platform::window::WindowHandle window() const { return window_; }

protected:
    cairo_surface_t* acquireSurface() override;
    Result present(cairo_surface_t* surface) override;

private:
    explicit WindowTarget(Platform::window::WindowHandle window) : window_(window) {}
    Platform::window::WindowHandle window_;
};

}  // namespace Platform::draw2d
