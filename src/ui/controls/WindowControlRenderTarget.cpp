#include "ui/controls/WindowControlRenderTarget.h"

#include <stdexcept>

#include "ui/framework/WindowService.h"

namespace Window {

namespace {

Media::RenderTarget& mainTarget() {
    WindowService* service = WindowService::get();
    if (service == nullptr)
        throw std::logic_error("Window::WindowControlRenderTarget: the window service does not exist");
    return *service;
}

}  // namespace

WindowControlRenderTarget::WindowControlRenderTarget(ControlContainer& container, int32_t x, int32_t y, int32_t w,
                                                     int32_t h)
    : WindowControl(container, x, y, w, h), Media::RenderTarget(mainTarget()) {}

WindowControlRenderTarget::WindowControlRenderTarget(WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControl(parent, x, y, w, h), Media::RenderTarget(mainTarget()) {}

}  // namespace Window
