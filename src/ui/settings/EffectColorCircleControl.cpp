#include "ui/settings/EffectColorCircleControl.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "core/Color.h"
#include "platform/draw2d/Bitmap.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/Message.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/settings/EffectColorSettingComponent.h"

namespace Component {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

}  // namespace

EffectColorCircleControl::Geometry EffectColorCircleControl::layout(int32_t w, int32_t h) {
    Geometry g;
    g.diameter = std::max(std::min(w, h) - 2, 0);
    g.ringWidth = g.diameter / 8;
    g.squareSize = std::max(static_cast<int32_t>(float(g.diameter - 2 * g.ringWidth) * 0.70710677f) - 4, 0);
    g.squareOffset = (g.diameter - g.squareSize) / 2;
    if (g.squareSize <= 0) g.diameter = 0;
    g.originX = (w - g.diameter) / 2;
    g.originY = (h - g.diameter) / 2;
    return g;
}

int32_t EffectColorCircleControl::partAt(const Geometry& g, int32_t x, int32_t y) {
    const int32_t D = g.diameter;
    if (D == 0) return None;
    const int32_t dx = x - g.originX, dy = y - g.originY;
    const float dist = std::hypot(float(dx) - float(D) / 2, float(dy) - float(D) / 2);
    const int32_t ringDist = std::abs(static_cast<int32_t>(dist) - (D - g.ringWidth) / 2) - g.ringWidth / 2;
    const int32_t so = g.squareOffset, S = g.squareSize;
    const int32_t squareDist = std::max({so - dx, dx - so - S, so - dy, dy - so - S});
    if (ringDist > 8 && squareDist > 8) return None;
    return ringDist >= squareDist ? Square : Ring;
}

std::array<uint8_t, 4> EffectColorCircleControl::ringPixel(const Geometry& g, int32_t angle, int32_t i, int32_t j) {
    const float d = float(g.diameter) / 2, r0 = d - float(g.ringWidth);
    const float dx = float(j) - d, dy = float(i) - d;
    const float l = std::hypot(dx, dy);
    if (!(r0 <= l && l <= d) || (dx == 0 && dy == 0)) return {0, 0, 0, 0};
    const float t = (std::atan2(dx, dy) + kPi) * 3 / kPi + (6 - float(angle) / 60);
    const float n = std::trunc(t), f = t - n;
    const auto w8 = static_cast<int32_t>(std::lround(f * 255));
    const long k = std::lround(n) % 6;
    int32_t c[3] = {0, 0, 0};
    switch (k) {
    case 0: c[0] = 255, c[1] = 0, c[2] = w8; break;
    case 1: c[0] = 255 - w8, c[1] = 0, c[2] = 255; break;
    case 2: c[0] = 0, c[1] = w8, c[2] = 255; break;
    case 3: c[0] = 0, c[1] = 255, c[2] = 255 - w8; break;
    case 4: c[0] = w8, c[1] = 255, c[2] = 0; break;
    case 5: c[0] = 255, c[1] = 255 - w8, c[2] = 0; break;
    default: break;  // a negative remainder: black
    }
    const auto e = static_cast<int32_t>(std::lround(std::min(l - r0, d - l) * 255));
    int32_t alpha = 255;
    if (e < 255) {
        alpha = e;
        for (int32_t& v : c) v = v * e / 255;
    }
    return {uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2]), uint8_t(alpha)};
}

bool EffectColorCircleControl::hueAt(const Geometry& g, int32_t angle, int32_t x, int32_t y, float& hue) {
    const float ex = float(x - g.originX) - float(g.diameter) / 2;
    const float ey = float(y - g.originY) - float(g.diameter) / 2;
    if (ex == 0 && ey == 0) return false;
    const float turns = std::atan2(ex, -ey) / 6.2831855f + float(angle) / 360 + 1;
    hue = turns - std::floor(turns);
    return true;
}

void EffectColorCircleControl::squareAt(const Geometry& g, int32_t x, int32_t y, float& saturation, float& value) {
    const float span = float(std::max(g.squareSize - 1, 1));
    saturation = std::clamp(float(x - g.originX - g.squareOffset) / span, 0.0f, 1.0f);
    value = std::clamp(1 - float(y - g.originY - g.squareOffset) / span, 0.0f, 1.0f);
}

EffectColorCircleControl::EffectColorCircleControl(Window::ControlContainer& container,
                                                   EffectColorSettingComponent& owner)
    : WindowControlRenderTarget(container, 0, 0, 1, 1), panel(&owner) {}

void EffectColorCircleControl::procMove() {
    geometry = layout(fullRect.w, fullRect.h);
    updateImage();
}

void EffectColorCircleControl::updateImage() {
    const int32_t D = geometry.diameter;
    if (D == 0 || (cachedHue == panel->hue && imageSize == D)) return;
    cachedHue = panel->hue;
    imageSize = D;
    image.assign(size_t(D) * size_t(D) * 4, 0);
    for (int32_t i = 0; i < D; ++i)
        for (int32_t j = 0; j < D; ++j) {
            const auto px = ringPixel(geometry, panel->circleAngle, i, j);
            std::copy(px.begin(), px.end(), image.begin() + (ptrdiff_t(i) * D + j) * 4);
        }
    const Media::ColorRgba p = Media::hsvToRgb({panel->hue, 1, 1});
    const int32_t S = geometry.squareSize, so = geometry.squareOffset;
    const float span = float(std::max(S - 1, 1));
    for (int32_t r = 0; r < S; ++r) {
        const float v = float(S - r - 1) / span;
        for (int32_t c = 0; c < S; ++c) {
            const float s = float(c) / span;
            uint8_t* px = image.data() + (ptrdiff_t(so + r) * D + so + c) * 4;
            px[0] = uint8_t(std::lround(255 * v * (1 + (p.r - 1) * s)));
            px[1] = uint8_t(std::lround(255 * v * (1 + (p.g - 1) * s)));
            px[2] = uint8_t(std::lround(255 * v * (1 + (p.b - 1) * s)));
            px[3] = 255;
        }
    }
}

void EffectColorCircleControl::procMouseMove(int32_t x, int32_t y) {
    const int32_t part = partAt(geometry, x + visibleRect.x - fullRect.x, y + visibleRect.y - fullRect.y);
    if (part == hoverPart) return;
    hoverPart = part;
    invalidate();
}

void EffectColorCircleControl::procMouseLeave() {
    hoverPart = None;
    invalidate();
}

void EffectColorCircleControl::procLButtonDown(int32_t x, int32_t y) {
    if (hoverPart == None || dragPart != None) return;
    dragPart = hoverPart;
    if (service != nullptr)
        service->beginDrag(fullRect.x - visibleRect.x, fullRect.y - visibleRect.y,
                           &Window::WindowMouseService::MouseCursor::Crosshair);
    panel->beginUndoRecord();
    pick(x + visibleRect.x - fullRect.x, y + visibleRect.y - fullRect.y);
}

void EffectColorCircleControl::procMouseDrag(int32_t x, int32_t y) {
    if (dragPart != None) pick(x, y);
}

void EffectColorCircleControl::pick(int32_t x, int32_t y) {
    if (dragPart == Ring) {
        float h = 0;
        if (!hueAt(geometry, panel->circleAngle, x, y, h)) return;
        panel->setHsv(h, panel->saturation, panel->value);
    } else if (dragPart == Square) {
        float s = 0, v = 0;
        squareAt(geometry, x, y, s, v);
        panel->setHsv(panel->hue, s, v);
    } else {
        return;
    }
    panel->applyColor();
}

void EffectColorCircleControl::endDrag() {
    if (dragPart == None) return;
    dragPart = None;
    panel->endUndoRecord();
    if (service != nullptr && service->lastMovePos != 0xFFFFFFFFu) {
        const auto packed = static_cast<intptr_t>(service->lastMovePos);
        procMouseMove(Platform::window::lowWordSigned(packed) - visibleRect.x,
                      Platform::window::highWordSigned(packed) - visibleRect.y);
    }
}

void EffectColorCircleControl::procCaptureLost() { endDrag(); }

void EffectColorCircleControl::procKeyRelease() { endDrag(); }

void EffectColorCircleControl::procPaint() {
    if (!canPaint() || fullRect.w < 1 || fullRect.h < 1) return;
    const ControlScope scope(*this);
    fillRectangle(0, 0, fullRect.w, fullRect.h, brush(Window::StyleBrushList::Grouping));
    const Geometry& g = geometry;
    const int32_t D = g.diameter;
    if (D == 0) return;
    updateImage();
    std::unique_ptr<Platform::draw2d::Bitmap> bitmap;
    if (Platform::failed(Platform::draw2d::Bitmap::create(uint32_t(D), uint32_t(D), image.data(), uint32_t(D) * 4, 28,
                                                          Platform::draw2d::AlphaMode::Premultiplied, bitmap)))
        return;
    drawBitmap(*bitmap, g.originX, g.originY, g.originX + D, g.originY + D, 1.0f);
    const float ox = float(Media::RenderTarget::originX), oy = float(Media::RenderTarget::originY);
    const float cx = float(g.originX) + float(D) / 2, cy = float(g.originY) + float(D) / 2;
    if (hoverPart == Ring) {
        auto& ink = brush(Window::StyleBrushList::AnchorHover);
        target->drawEllipse({{ox + cx, oy + cy}, float(D) / 2, float(D) / 2}, ink, 1.5f, nullptr);
        const float inner = float(D - 2 * g.ringWidth) / 2;
        target->drawEllipse({{ox + cx, oy + cy}, inner, inner}, ink, 1.5f, nullptr);
    } else if (hoverPart == Square) {
        const float q = float(g.squareSize) / 2 + 0.5f;
        target->drawRectangle({ox + cx - q, oy + cy - q, ox + cx + q, oy + cy + q},
                              brush(Window::StyleBrushList::AnchorHover), 1.2f, nullptr);
    }
    // The hue mark: a thin box across the ring.
    const float theta = (panel->hue - float(panel->circleAngle) / 360) * 2 * kPi;
    const float ux = std::sin(theta), uy = -std::cos(theta);
    const float vx = -std::cos(theta), vy = -std::sin(theta);
    const float mid = float(D - g.ringWidth) / 2;
    const float mx = cx + ux * mid, my = cy + uy * mid;
    const float a = float(g.ringWidth - 2) / 2, b = 1.5f;
    auto& anchor = brush(Window::StyleBrushList::Anchor);
    const auto line = [&](float s1, float t1, float s2, float t2) {
        drawLineF(mx + s1 * a * ux + t1 * b * vx, my + s1 * a * uy + t1 * b * vy, mx + s2 * a * ux + t2 * b * vx,
                  my + s2 * a * uy + t2 * b * vy, anchor, 2, nullptr);
    };
    line(1, 1, -1, 1);
    line(1, -1, -1, -1);
    line(1, 1, 1, -1);
    line(-1, 1, -1, -1);
    // The saturation/value mark.
    const Platform::draw2d::Ellipse mark{{ox + cx + (panel->saturation - 0.5f) * float(g.squareSize),
                                          oy + cy + (0.5f - panel->value) * float(g.squareSize)},
                                         3.5f,
                                         3.5f};
    target->drawEllipse(mark, brush(Window::StyleBrushList::AnchorEdge), 4, nullptr);
    target->drawEllipse(mark, anchor, 2, nullptr);
}

}  // namespace Component
