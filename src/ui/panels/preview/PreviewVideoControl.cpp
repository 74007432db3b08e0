#include "ui/panels/preview/PreviewVideoControl.h"

#include <algorithm>
#include <cmath>

#include "core/Log.h"
#include "platform/window/TopLevel.h"

#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "platform/draw2d/Bitmap.h"
#include "platform/draw2d/Brush.h"
#include "platform/draw2d/StrokeStyle.h"
#include "platform/window/KeyMap.h"
#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/panels/PreviewControl.h"

namespace Component {

namespace {

using Anchor::AnchorItem;
using Anchor::AnchorPoint;
using Platform::draw2d::Brush;
using Platform::draw2d::Ellipse;
using Platform::draw2d::StrokeStyle;
using Brushes = Window::StyleBrushList;
using Cursor = Window::WindowMouseService::MouseCursor;

bool keyHeld(uint32_t key) { return (Platform::window::getKeyState(key) & 0x8000) != 0; }

Brush& styleBrush(Brushes::Index index) { return Window::WindowService::get()->brushes.get(index); }

}  // namespace

PreviewVideoControl::PreviewVideoControl(PreviewControl& owner, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(owner, x, y, w, h), owner_(owner) {
    acceptRightButton = true;
    // Dashes of 3 on, 3 off.
    const float dashes[2] = {3, 3};
    Platform::draw2d::StrokeStyleDesc desc;
    desc.dashStyle = Platform::draw2d::DashStyle::Custom;
    (void)StrokeStyle::create(desc, dashes, 2, dashed_);
}

PreviewVideoControl::~PreviewVideoControl() = default;

void PreviewVideoControl::repaint() { invalidate(); }

void PreviewVideoControl::logPlace() const {
    // Where the frame is drawn now, for whoever watches the log.
    const Window::WindowService* service = Window::WindowService::get();
    if (service == nullptr || service->window == nullptr) return;
    Platform::window::Point corner{fullRect.x + static_cast<int32_t>(std::lround(imageRect_.left)),
                                   fullRect.y + static_cast<int32_t>(std::lround(imageRect_.top))};
    (void)Platform::window::clientToScreen(service->window, corner);
    System::Log::verbose("Component::PreviewVideoControl", "frame drawn at %d,%d %dx%d on the screen, zoom %d",
                         corner.x, corner.y, static_cast<int32_t>(std::lround(imageRect_.right - imageRect_.left)),
                         static_cast<int32_t>(std::lround(imageRect_.bottom - imageRect_.top)), owner_.zoom());
}

void PreviewVideoControl::procPaint() {
    if (!canPaint() || fullRect.w <= 0 || fullRect.h <= 0) return;
    const ImageRect rect = owner_.imageRect();
    const ControlScope scope(*this);
    fillRectangle(0, 0, fullRect.w, fullRect.h, styleBrush(Brushes::OutsideDisplay));
    const Platform::draw2d::Bitmap* bitmap = owner_.bitmap();
    if (bitmap == nullptr || bitmap->width() == 0 || bitmap->height() == 0) return;
    const Platform::draw2d::RectF at{static_cast<float>(originX) + rect.left, static_cast<float>(originY) + rect.top,
                                     static_cast<float>(originX) + rect.right,
                                     static_cast<float>(originY) + rect.bottom};
    // Sharp pixels from 100 % up; smoothed when shrunk.
    const bool sharp = owner_.zoom() > 99;
    target->drawBitmap(*bitmap, &at, 1.0f,
                       sharp ? Platform::draw2d::Interpolation::NearestNeighbor
                             : Platform::draw2d::Interpolation::Linear,
                       nullptr);
    if (!(rect == imageRect_) || canvasWidth_ != fullRect.w || canvasHeight_ != fullRect.h) {
        setImageRect(rect, fullRect.w, fullRect.h);
        logPlace();
    }
    drawAnchors();
}

const Brush& PreviewVideoControl::lookBrush(Look look) const {
    switch (look) {
    case Look::In: return styleBrush(Brushes::AnchorIn);
    case Look::Out: return styleBrush(Brushes::AnchorOut);
    case Look::AxisX: return styleBrush(Brushes::HandleX);
    case Look::AxisY: return styleBrush(Brushes::HandleY);
    case Look::AxisZ: return styleBrush(Brushes::HandleZ);
    case Look::Anchor: break;
    }
    return styleBrush(Brushes::Anchor);
}

void PreviewVideoControl::drawAnchors() {
    if (shown.empty() || target == nullptr) return;
    const bool hideOthers = hideOthersOnHover() && hovered_ != nullptr;
    for (const AnchorItem* item : drawOrder()) {
        if (isSelectedObjectAnchor(*item)) {
            drawAnchor(*item, styleBrush(Brushes::AnchorSelect), 2.2f, nullptr, false);
            continue;
        }
        if ((item->flags & AnchorItem::kNotDrawn) != 0) continue;
        if (hideOthers && item->owner != hovered_->owner && (item->flags & AnchorItem::kPinned) == 0) continue;
        const bool objectAnchor = (item->flags & AnchorItem::kObjectAnchor) != 0;
        drawAnchor(*item, lookBrush(anchorLook(*item)), 1.2f, objectAnchor ? nullptr : dashed_.get(), false);
    }
    if (hovered_ == nullptr) return;
    Brushes::Index highlight = Brushes::AnchorHover;
    if (hovered_->type == AnchorItem::kLine) {
        if ((hovered_->flags & AnchorItem::kAxisX) != 0)
            highlight = Brushes::HandleXHover;
        else if ((hovered_->flags & AnchorItem::kAxisY) != 0)
            highlight = Brushes::HandleYHover;
        else if ((hovered_->flags & AnchorItem::kAxisZ) != 0)
            highlight = Brushes::HandleZHover;
    } else if (isSelectedObjectAnchor(*hovered_)) {
        highlight = Brushes::AnchorSelect;
    }
    drawAnchor(*hovered_, styleBrush(highlight), 2.2f, nullptr, true);
}

void PreviewVideoControl::drawAnchor(const AnchorItem& item, const Brush& ink, float width, const StrokeStyle* style,
                                     bool highlight) {
    Platform::draw2d::RenderTarget& t = *target;
    const Brush& edge = styleBrush(Brushes::AnchorEdge);
    const float ox = static_cast<float>(originX), oy = static_cast<float>(originY);
    const auto at = [ox, oy](const AnchorPoint& p) { return Platform::draw2d::Point2F{ox + p.x, oy + p.y}; };
    const std::vector<AnchorPoint>& s = item.screenPoints;
    if (s.empty()) return;
    const auto circle = [&](float radius) { return Ellipse{at(s[0]), radius, radius}; };
    const auto outlineCircle = [&](float radius) {
        t.drawEllipse(circle(radius), edge, width + 0.6f, nullptr);
        t.drawEllipse(circle(radius), ink, width, style);
    };
    switch (item.type) {
    case AnchorItem::kIcon: {
        if (s.size() < 2) return;
        const Platform::draw2d::RectF box{ox + s[0].x, oy + s[0].y, ox + s[1].x, oy + s[1].y};
        if (highlight) {
            t.drawRectangle(box, edge, 2.8f, nullptr);
            t.drawRectangle(box, ink, 2.2f, nullptr);
        } else if (item.bitmap != nullptr) {
            t.drawBitmap(*static_cast<const Platform::draw2d::Bitmap*>(item.bitmap), &box, 1.0f,
                         Platform::draw2d::Interpolation::Linear, nullptr);
        } else {
            t.drawRectangle(box, edge, 2.8f, nullptr);
            t.drawRectangle(box, ink, 2.2f, nullptr);
        }
        break;
    }
    case AnchorItem::kMarker: {
        const Platform::draw2d::Point2F c = at(s[0]);
        for (const Brush* b : {&edge, &ink}) {
            const float w = b == &edge ? 2.8f : 2.2f;
            t.drawLine({c.x - 8, c.y}, {c.x + 8, c.y}, *b, w, nullptr);
            t.drawLine({c.x, c.y - 8}, {c.x, c.y + 8}, *b, w, nullptr);
            t.drawEllipse(circle(4), *b, w, nullptr);
        }
        break;
    }
    case AnchorItem::kColourMarker: {
        const Platform::draw2d::SolidColorBrush colour({item.colour[0], item.colour[1], item.colour[2], item.colour[3]});
        t.drawEllipse(circle(4), edge, 2.8f, nullptr);
        t.drawEllipse(circle(4), colour, 2.2f, nullptr);
        break;
    }
    case AnchorItem::kLine: {
        if (s.size() < 2) return;
        const Ellipse knob{at(s[1]), 5.3f, 5.3f};
        t.drawLine(at(s[0]), at(s[1]), edge, 2.8f, nullptr);
        t.fillEllipse(knob, edge);
        t.drawLine(at(s[0]), at(s[1]), ink, 2.2f, nullptr);
        t.fillEllipse({at(s[1]), 5, 5}, ink);
        break;
    }
    case AnchorItem::kHandle: {
        const Platform::draw2d::Point2F c = at(s[0]);
        const Platform::draw2d::RectF box{c.x - 6, c.y - 6, c.x + 6, c.y + 6};
        if (highlight) {
            t.fillRectangle(box, ink);
        } else {
            t.drawRectangle(box, edge, width + 0.6f, nullptr);
            t.drawRectangle(box, ink, width, nullptr);
        }
        break;
    }
    case AnchorItem::kPoint: outlineCircle(20); break;
    case AnchorItem::kSmallPoint: outlineCircle(10); break;
    case AnchorItem::kObjectPoint: outlineCircle(36); break;
    case AnchorItem::kPolygon: {
        for (const Brush* b : {&edge, &ink}) {
            const float w = b == &edge ? width + 0.6f : width;
            const StrokeStyle* st = b == &edge ? nullptr : style;
            for (size_t i = 0; i < s.size(); ++i)
                t.drawLine(at(s[(i + s.size() - 1) % s.size()]), at(s[i]), *b, w, st);
        }
        break;
    }
    case AnchorItem::kColourPolyline:
    case AnchorItem::kPolyline: {
        const bool coloured = item.type == AnchorItem::kColourPolyline;
        const Platform::draw2d::SolidColorBrush colour({item.colour[0], item.colour[1], item.colour[2], item.colour[3]});
        const Brush& line = coloured ? static_cast<const Brush&>(colour) : styleBrush(Brushes::AnchorLine);
        const float w = coloured ? width : 2.2f;
        for (size_t i = 1; i < s.size(); ++i) t.drawLine(at(s[i - 1]), at(s[i]), edge, w + 0.6f, nullptr);
        for (size_t i = 1; i < s.size(); ++i) t.drawLine(at(s[i - 1]), at(s[i]), line, w, nullptr);
        break;
    }
    case AnchorItem::kDot:
        t.fillEllipse(circle(3.3f), edge);
        t.fillEllipse(circle(3), ink);
        break;
    default: break;
    }
}

void PreviewVideoControl::procMouseMove(int32_t x, int32_t y) {
    AnchorItem* hit = hitTestAnchor(static_cast<float>(x), static_cast<float>(y));
    if (setHoverAnchor(hit)) repaint();
    if (hit != nullptr)
        if (Window::WindowMouseService* router = Window::WindowMouseService::get()) router->trackHover(this);
}

void PreviewVideoControl::procLButtonDown(int32_t x, int32_t y) {
    pressX_ = x;
    pressY_ = y;
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    const bool doubleClick = router != nullptr && router->doubleClick;
    leftPress(doubleClick, keyHeld(Platform::window::kVkControl));
    if (dragMode() != 0 && router != nullptr) router->beginDrag(x, y, router->currentCursor);
    repaint();
}

void PreviewVideoControl::procRButtonDown(int32_t x, int32_t y) {
    pressX_ = x;
    pressY_ = y;
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    rightPress(router != nullptr && router->doubleClick);
    if (dragMode() != 0 && router != nullptr) router->beginDrag(x, y, router->currentCursor);
}

void PreviewVideoControl::armEmptyDrag() {
    if (Window::WindowMouseService* router = Window::WindowMouseService::get())
        router->beginDrag(pressX_, pressY_, router->currentCursor);
}

void PreviewVideoControl::showMoveCursor() {
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    if (router != nullptr && router->currentCursor == router->defaultCursor) router->currentCursor = &Cursor::SizeAll;
}

void PreviewVideoControl::refuseDrag() {
    if (Window::WindowMouseService* router = Window::WindowMouseService::get()) router->currentCursor = &Cursor::No;
}

void PreviewVideoControl::procMouseDrag(int32_t x, int32_t y) {
    dragAnchors(x, y, keyHeld(Platform::window::kVkShift));
}

bool PreviewVideoControl::procDragKey(int32_t key) { return dragKey(key, keyHeld(Platform::window::kVkShift)); }

void PreviewVideoControl::procKeyRelease() {
    endDrag();
    if (Edit::EditService* edit = Edit::EditService::instance()) edit->clickClearSelection(this);
}

void PreviewVideoControl::procDragCancel() { endDrag(); }

void PreviewVideoControl::procCaptureLost() {
    endDrag();
    if (Edit::EditService* edit = Edit::EditService::instance()) edit->clickClearSelection(this);
    repaint();
}

void PreviewVideoControl::procMouseLeave() {
    if (hovered_ == nullptr) return;
    clearHoverAnchor();
    repaint();
}

std::wstring PreviewVideoControl::anchorToolTip(const AnchorItem& item) const {
    if ((item.flags & AnchorItem::kProjected) == 0 || !item.object || !item.effect) return {};
    if (item.id == AnchorItem::kClippingViewIcon) return L"クリッピングオブジェクトの視覚化";
    if (item.id == AnchorItem::kViewModeIcon)
        return L"カメラ制御の視点モードを切り替え\n緑色:カメラ視点\n白色:カメラ視点(編集不可)\n灰色:編集用視点(自由移動)";
    if ((item.flags & AnchorItem::kSizeHandle) != 0)
        return (item.flags & AnchorItem::kSourceSize) != 0 ? L"サイズの変更" : L"拡大率の変更";
    const Edit::EditService* edit = Edit::EditService::instance();
    std::wstring text = edit != nullptr ? edit->getLayerName(item.object->layer) : std::wstring();
    const Effect::EffectBase* named = item.effect.get();
    if (named->role == Effect::EffectBase::kOutput && !item.object->effects.empty())
        named = item.object->effects.front().get();
    return text + L" : " + named->getDisplayName();
}

void PreviewVideoControl::procMouseHover() {
    if (hovered_ == nullptr) return;
    const std::wstring text = anchorToolTip(*hovered_);
    if (!text.empty()) Window::ToolTips::showAtCursor(text.c_str());
}

}  // namespace Component
