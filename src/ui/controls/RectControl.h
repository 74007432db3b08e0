#pragma once
#include <cstdint>
#include <functional>
#include <optional>

#include "ui/controls/WindowControlRenderTarget.h"
#include "ui/framework/StyleBrushList.h"

// A rectangle that fills itself with a style colour and lets its owner draw
// its content inside the same draw scope (origin at its top-left).
namespace Control {

class RectControl : public Window::WindowControlRenderTarget {
public:
    using PaintAction = std::function<void(RectControl&)>;

    RectControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    RectControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);

    void procPaint() override;

    std::optional<Window::StyleBrushList::Index> brush;
    PaintAction paintAction;
};

}  // namespace Control
