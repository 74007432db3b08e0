#pragma once
#include <cstdint>

#include "media/gpu/RenderTarget.h"
#include "ui/controls/WindowControl.h"

// A control drawn on the main window's one target: its drawing scopes nest
// in those of the panel and of the window service.
namespace Window {

class WindowControlRenderTarget : public WindowControl, public Media::RenderTarget {
public:
    WindowControlRenderTarget(ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    WindowControlRenderTarget(WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);
};

}  // namespace Window
