#include "platform/draw2d/WindowTarget.h"

#include "platform/window/TopLevel.h"

namespace Platform::draw2d {

Result WindowTarget::create(Platform::window::WindowHandle window, std::unique_ptr<WindowTarget>& out) {
    out.reset();
    if (!Platform::window::isWindow(window)) return kInvalidArg;
    out.reset(new WindowTarget(window));
    return kOk;
}

cairo_surface_t* WindowTarget::acquireSurface() { return Platform::window::windowSurface(window_); }

Result WindowTarget::present(cairo_surface_t*) {
    if (!Platform::window::isWindow(window_)) return kFail;
    Platform::window::presentWindow(window_);
    return kOk;
}

}  // namespace Platform::draw2d
