#pragma once
#include <cstdint>

#include "ui/controls/ButtonControl.h"
#include "ui/controls/IconGlyph.h"

// A button showing a vector glyph. Framed, it fills its body and outlines
// itself; unframed and without an icon brush, the glyph alone takes the body
// colour, so it lights up under the pointer and when pressed.
namespace Control {

class IconButtonControl : public ButtonControl {
public:
    // Laid out (x, 0, w, 0) in the parent: the parent's full height.
    IconButtonControl(Window::WindowControl& parent, int32_t x, int32_t w, const IconGlyph& glyph, bool framed);
    IconButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h,
                      const IconGlyph& glyph, bool framed);
    IconButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                      const IconGlyph& glyph, bool framed);

    void procPaint() override;

    // Changes the glyph, drawing again only when it is another one.
    void setGlyph(const IconGlyph& shape);

    IconGlyph glyph;
    bool framed;
    StyleBrush backgroundBrush;
    StyleBrush iconBrush;
};

}  // namespace Control
