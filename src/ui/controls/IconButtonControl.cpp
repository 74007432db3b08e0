#include "ui/controls/IconButtonControl.h"

#include "media/gpu/ResourceService.h"
#include "ui/controls/ControlInput.h"

namespace Control {

using Brushes = Window::StyleBrushList;

IconButtonControl::IconButtonControl(Window::WindowControl& parent, int32_t x, int32_t w, const IconGlyph& shape,
                                     bool frame)
    : ButtonControl(parent, x, 0, w, 0), glyph(shape), framed(frame) {}

IconButtonControl::IconButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h,
                                     const IconGlyph& shape, bool frame)
    : ButtonControl(parent, x, y, w, h), glyph(shape), framed(frame) {}

IconButtonControl::IconButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                                     const IconGlyph& shape, bool frame)
    : ButtonControl(container, x, y, w, h), glyph(shape), framed(frame) {}

void IconButtonControl::setGlyph(const IconGlyph& shape) {
    if (glyph.triangle == shape.triangle && glyph.rectangle == shape.rectangle &&
        glyph.lines.data() == shape.lines.data())
        return;
    glyph = shape;
    invalidate();
}

void IconButtonControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const float w = static_cast<float>(fullRect.w), h = static_cast<float>(fullRect.h);
    const Brushes::Index body = Window::ControlInput::bodyColour(*this);
    if (framed || iconBrush) {
        const bool atRest = backgroundBrush && iconBrush && !hovered && !dragging;
        fillRectangle(0, 0, fullRect.w, fullRect.h, brush(atRest ? *backgroundBrush : body));
    } else if (backgroundBrush) {
        fillRectangle(0, 0, fullRect.w, fullRect.h, brush(*backgroundBrush));
    }
    const Brushes::Index inkIndex = iconBrush ? *iconBrush
                                    : framed  ? (enabled ? Brushes::Text : Brushes::TextDisable)
                                              : body;
    Platform::draw2d::Brush& ink = brush(inkIndex);
    if (glyph.triangle != nullptr) {
        const float* t = glyph.triangle;
        const float points[6] = {t[0] * w, t[1] * h, t[2] * w, t[3] * h, t[4] * w, t[5] * h};
        fillPath(points, ink);
    }
    if (glyph.rectangle != nullptr) {
        const float* r = glyph.rectangle;
        fillRectangleF(r[0] * w, r[1] * h, r[2] * w, r[3] * h, ink);
    }
    if (!glyph.lines.empty()) {
        Platform::draw2d::StrokeStyle* round = nullptr;
        if (Resource::ResourceService* resources = Resource::ResourceService::get())
            round = resources->strokeStyles.get(2);
        for (const IconLine& line : glyph.lines)
            drawLineF(line.x1 * w, line.y1 * h, line.x2 * w, line.y2 * h, ink, line.width * h, round);
    }
    if (framed) drawOutline();
}

}  // namespace Control
