#include "ui/settings/EffectColorPreviewControl.h"

#include "platform/draw2d/Brush.h"
#include "ui/settings/EffectColorSettingComponent.h"

namespace Component {

namespace {

Platform::draw2d::SolidColorBrush solid(const Media::ColorRgba& c) { return Platform::draw2d::SolidColorBrush({c.r, c.g, c.b, 1.0f}); }

Platform::draw2d::SolidColorBrush greyOn(const Media::ColorRgba& c) {
    const float v = EffectColorSettingComponent::contrastGrey(c);
    return Platform::draw2d::SolidColorBrush({v, v, v, 1.0f});
}

}  // namespace

EffectColorPreviewControl::EffectColorPreviewControl(Window::ControlContainer& container,
                                                     EffectColorSettingComponent& owner)
    : WindowControlRenderTarget(container, 0, 0, 1, 1), panel(&owner) {}

void EffectColorPreviewControl::procMove() {
    originX = fullRect.w * 3 / 4;
    originY = fullRect.h * 3 / 4;
}

void EffectColorPreviewControl::procMouseMove(int32_t x, int32_t y) {
    const bool now = x >= originX && y >= originY;
    if (now == hover) return;
    hover = now;
    invalidate();
}

void EffectColorPreviewControl::procMouseLeave() {
    hover = false;
    invalidate();
}

void EffectColorPreviewControl::procLButtonDown(int32_t, int32_t) {
    if (hover) panel->swapOldColor();
}

void EffectColorPreviewControl::procPaint() {
    if (!canPaint() || fullRect.w <= 0 || fullRect.h <= 0) return;
    // Drawn with the mark of the panel's origin names: ours shadow the target's.
    const int32_t oldX = originX, oldY = originY;
    const ControlScope scope(*this);
    const int32_t w = fullRect.w, h = fullRect.h;
    fillRectangle(0, 0, w - 3, h - 3, solid(panel->color));
    drawRectangle(0, 0, w - 3, h - 3, greyOn(panel->color), 1, nullptr);
    fillRectangle(oldX, oldY, w, h, solid(panel->oldColor));
    const auto oldGrey = greyOn(panel->oldColor);
    const float ox = float(Media::RenderTarget::originX), oy = float(Media::RenderTarget::originY);
    target->drawRectangle({ox + oldX, oy + oldY, ox + w, oy + h}, oldGrey, 1.5f, nullptr);
    if (hover) {
        drawRectangle(oldX + 1, oldY + 1, w - 1, h - 1, brush(Window::StyleBrushList::AnchorEdge), 3, nullptr);
        drawRectangle(oldX + 1, oldY + 1, w - 1, h - 1, brush(Window::StyleBrushList::AnchorHover), 2, nullptr);
    }
}

}  // namespace Component
