#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/controls/WindowControlRenderTarget.h"

// A square button showing a small icon drawn from filled shapes. A press
// followed by a release inside the button runs its action; a disabled button
// is drawn dimmed and takes no clicks.
namespace Control {

class IconButtonControl : public Window::WindowControlRenderTarget {
public:
    // Shapes in the button's unit square (0 to 1 across and down).
    struct Icon {
        std::vector<std::array<float, 6>> triangles;   // x, y of three corners
        std::vector<std::array<float, 4>> rectangles;  // left, top, right, bottom
    };

    IconButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    IconButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);

    void procPaint() override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procLButtonUp(int32_t x, int32_t y) override;
    void procMouseEnter() override;
    void procMouseLeave() override;
    void procCaptureLost() override;

    // Changes the icon or the enabled state, repainting only on a change.
    void setIcon(const Icon* icon);
    void setEnabled(bool on);

    std::function<void()> action;
    const Icon* icon = nullptr;

private:
    bool pressed_ = false;
};

}  // namespace Control
