#include "ui/panels/EditLayerObjectControl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/EventService.h"
#include "edit/EditCommandTargets.h"
#include "edit/EditService.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/ObjectSplitCommands.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectService.h"
#include "media/gpu/ResourceService.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "platform/window/SystemMetrics.h"
#include "platform/window/TopLevel.h"
#include "ui/controls/ControlInput.h"
#include "ui/framework/DropFiles.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/framework/EffectListMenu.h"
#include "ui/panels/EditComponent.h"
#include "ui/panels/timeline/ObjectAreaCommands.h"

namespace Component {

namespace {

using Brushes = Window::StyleBrushList;
using Router = Window::WindowMouseService;
namespace W = Platform::window;

// The unselected (gradient) and selected (solid) fill of an object kind.
struct KindFill {
    Brushes::Index normal;
    Brushes::Index selected;
};

KindFill fillOf(int32_t kind) {
    switch (kind) {
    case 2: return {Brushes::ObjectAudio, Brushes::ObjectAudioSelect};
    case 4:
    case 6: return {Brushes::ObjectVideoFilter, Brushes::ObjectVideoFilterSelect};
    case 5: return {Brushes::ObjectAudioFilter, Brushes::ObjectAudioFilterSelect};
    case 7: return {Brushes::ObjectControl, Brushes::ObjectControlSelect};
    default: return {Brushes::ObjectVideo, Brushes::ObjectVideoSelect};
    }
}

bool labelDisabled(const Edit::Object& object, bool layerHidden) {
    if (layerHidden) return true;
    const Effect::EffectBase& first = *object.effects.front();
    if (first.role == Effect::EffectBase::kFilter)
        return std::all_of(object.effects.begin(), object.effects.end(),
                           [](const auto& e) { return e->disabled != 0; });
    return first.disabled != 0;
}

bool keyHeld(uint32_t vk) { return (W::getKeyState(vk) & 0x8000) != 0; }
bool ctrlHeld() { return keyHeld(W::kVkControl); }
bool shiftHeld() { return keyHeld(W::kVkShift); }

// The file's extension after its last dot, in lower case; empty without one.
std::wstring lowerExtension(const std::wstring& path) {
    const size_t dot = path.rfind(L'.');
    const size_t slash = path.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return {};
    std::wstring extension = path.substr(dot + 1);
    for (wchar_t& c : extension)
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    return extension;
}

// The distance within which the pointer picks an object's edge or midpoint.
constexpr int32_t kHitSlack = 8;

Platform::draw2d::StrokeStyle* strokeStyle(int index) {
    Resource::ResourceService* resources = Resource::ResourceService::get();
    return resources != nullptr ? resources->strokeStyles.get(index) : nullptr;
}
constexpr int kFocusDash = 0;  // 3 on, 3 off
constexpr int kDash = 1;

// Every step of a drag: re-sorts the layers and tells the settings panel its sections moved.
std::unique_ptr<Edit::UpdateSection> openStep(bool resort) {
    auto scope = Edit::EditService::instance()->openSection();
    scope->layersChanged = resort;
    scope->sectionsChanged = true;
    scope->timeSettingChanged = true;
    return scope;
}

bool overlaps(const Edit::Object& o, int64_t a, int64_t b) { return o.start <= b && o.end >= a; }

// The first unselected object of the slot overlapping [a, b], or the last one with `last`.
const Edit::Object* obstacle(const Edit::SceneLayer& slot, int64_t a, int64_t b, bool last) {
    const Edit::Object* found = nullptr;
    for (const auto& o : slot.objects) {
        if (o->selected || o->layer < 0 || !overlaps(*o, a, b)) continue;
        if (!last) return o.get();
        if (found == nullptr || o->start > found->start) found = o.get();
    }
    return found;
}

std::wstring formatSigned(double seconds, bool withHours) {
    const bool negative = seconds < 0;
    const int64_t hundredths = static_cast<int64_t>(std::fabs(seconds) * 100);
    const int64_t s = hundredths / 100, h = hundredths % 100;
    wchar_t text[64];
    if (withHours)
        std::swprintf(text, 64, L"%ls%02lld:%02lld:%02lld.%02lld", negative ? L"-" : L"", (long long)(s / 3600),
                      (long long)(s / 60 % 60), (long long)(s % 60), (long long)h);
    else
        std::swprintf(text, 64, L"%ls%02lld:%02lld.%02lld", negative ? L"-" : L"", (long long)(s / 60),
                      (long long)(s % 60), (long long)h);
    return text;
}

}  // namespace

EditLayerObjectControl::EditLayerObjectControl(EditComponent& panel, Window::ControlContainer& container, int32_t x,
                                               int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h),
      panel_(panel),
      self_(std::make_shared<EditLayerObjectControl*>(this)) {
    const int32_t rowHeight = panel_.view.metrics.layerHeight;
    if (Resource::ResourceService* resources = Resource::ResourceService::get())
        format_ = resources->textFormats[Resource::ResourceService::kLayerObject].get();
    const int32_t lineHeight = format_ != nullptr ? static_cast<int32_t>(format_->getLineHeight()) : 0;
    labelTop = kBarTop + (rowHeight - kBarTop - lineHeight) / 2;
    acceptRightButton = true;
    acceptWheel = true;
    acceptContextMenu = true;
    acceptDrop = true;

    if (Event::EventService* events = Event::EventService::get()) {
        std::weak_ptr<EditLayerObjectControl*> weak = self_;
        auto with = [weak](auto&& action) {
            if (auto self = weak.lock(); self && *self) action(**self);
        };
        events->focusObjectListeners.add([with](const Event::EventService::ObjectRef& object) {
            with([&object](EditLayerObjectControl& area) {
                const std::shared_ptr<Edit::Object> old = area.focusObject;
                area.focusObject = object;
                if (old && old != object) area.paintRow(old->layer);
                if (object) area.paintRow(object->layer);
            });
        });
        events->sceneListeners.add([with](int) {
            with([](EditLayerObjectControl& area) {
                area.focusObject = area.panel_.scene ? area.panel_.scene->focusObject : nullptr;
                area.hover = {};
            });
        });
        events->selectionListeners.add([with] { with([](EditLayerObjectControl& area) { area.procPaint(); }); });
    }
}

EditLayerObjectControl::~EditLayerObjectControl() { *self_ = nullptr; }

// ---- drawing

void EditLayerObjectControl::procPaint() {
    panel_.ensureLayerSlots();
    if (target == nullptr || fullRect.w <= 0 || fullRect.h <= 0) return;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    for (int32_t i = 0; i < panel_.view.visibleRows; ++i) paintRow(panel_.view.displayLayer + i);
    if (rubberBand.w != 0 && rubberBand.h != 0)
        drawRectangle(rubberBand.x, rubberBand.y, rubberBand.x + rubberBand.w, rubberBand.y + rubberBand.h,
                      panel_.windowService->brushes.get(Brushes::BorderSelect), 2, strokeStyle(kDash));
}

void EditLayerObjectControl::paintRow(int32_t layer) {
    const TimelineView& view = panel_.view;
    if (layer < 0 || layer < view.displayLayer || layer >= view.displayLayer + view.visibleRows || target == nullptr ||
        !panel_.scene || fullRect.w <= 0 || fullRect.h <= 0)
        return;
    const int32_t rowHeight = view.metrics.layerHeight;
    const int32_t top = fullRect.y + (layer - view.displayLayer) * rowHeight;
    const int32_t areaBottom = fullRect.y + fullRect.h;
    if (top >= areaBottom) return;
    const DrawScope scope(*this, fullRect.x, top, fullRect.x + fullRect.w, std::min(top + rowHeight, areaBottom), true);
    paintObjectRow(layer);
}

void EditLayerObjectControl::paintObjectRow(int32_t layer) {
    const TimelineView& view = panel_.view;
    const Edit::Scene& scene = *panel_.scene;
    Window::StyleBrushList& brushes = panel_.windowService->brushes;
    const int32_t rowHeight = view.metrics.layerHeight;
    const int32_t width = fullRect.w;
    const int32_t first = view.displayFrame;
    const int32_t last = view.lastVisibleFrame(width);
    const Edit::SceneLayer& slot = scene.getLayer(layer);
    const bool hidden = slot.layer && slot.layer->hide;

    // The row's background.
    const Brushes::Index background = layer == hoveredHeaderLayer ? Brushes::LayerHover
                                      : hidden                    ? Brushes::LayerDisable
                                                                  : Brushes::Layer;
    fillRectangle(0, 0, width, rowHeight, brushes.get(background));

    // The spans of layer-range control objects above that reach this layer.
    if (panel_.displayLayerRange != 0)
        scene.forEachControlRange(layer, first, last, [&](int32_t s, int32_t e, bool lastOfSpan) {
            const int32_t l = view.pixelOf(s);
            const int32_t r = view.pixelOf(std::min(e + 1, last));
            fillRectangle(l, 0, r, rowHeight, brushes.get(Brushes::LayerRange));
            const auto& frame = brushes.get(Brushes::LayerRangeFrame);
            fillRectangle(l, 0, l + 2, rowHeight, frame);
            fillRectangle(r - 2, 0, r, rowHeight, frame);
            if (lastOfSpan) fillRectangle(l + 2, rowHeight - 3, r - 2, rowHeight - 1, frame);
        });

    if (panel_.tempoGrid != 0) drawTempoGrid(first, last);

    // Past the scene's end.
    const int32_t xEnd = view.pixelOf(panel_.lastFrame() + 1);
    if (xEnd < width) {
        const int32_t from = std::max(0, xEnd);
        fillRectangle(from, 0, width, rowHeight, brushes.get(Brushes::LayerDisable));
        if (xEnd >= 0) fillRectangle(xEnd, 1, xEnd + 1, rowHeight, brushes.get(Brushes::GuideLine));
    }

    // The row's top edge.
    fillRectangle(0, 0, width, 1, brushes.get(Brushes::Border));

    // The objects from the first reaching the left edge to the first starting past the right one.
    int32_t lastRight = -100000;
    auto barOf = [&](const Edit::Object& object, int32_t& l, int32_t& r) {
        l = view.pixelOf(object.start);
        r = view.pixelOf(object.end + 1);
    };
    for (size_t i = slot.lowerBoundByEnd(first); i < slot.objects.size(); ++i) {
        const Edit::Object& object = *slot.objects[i];
        if (object.start > last) break;
        if (object.layer != layer) continue;
        int32_t l, r;
        barOf(object, l, r);
        if (l < lastRight) {
            if (r <= lastRight) continue;
            l = lastRight;
        }
        if (l == r) {
            r = l + 1;
            lastRight = r;
        }
        drawObjectBar(object, l, r, first, hidden);
    }

    // What the pointer rests on or drags, and the focus outline.
    if (hover.object && hover.object->layer == layer && overlaps(*hover.object, first, last)) {
        int32_t l, r;
        barOf(*hover.object, l, r);
        if (l == r) ++r;
        drawFeedback(*hover.object, l, r, first);
    }
    if (focusObject && focusObject->layer == layer && !focusObject->selected && overlaps(*focusObject, first, last)) {
        int32_t l, r;
        barOf(*focusObject, l, r);
        if (l == r) ++r;
        const float points[] = {float(l) + 0.5f, 6.5f,
                                float(r) - 0.5f, 6.5f,
                                float(r) - 0.5f, float(rowHeight) - 0.5f,
                                float(l) + 0.5f, float(rowHeight) - 0.5f};
        drawPath(points, 4, brushes.get(Brushes::BorderSelect), 1.2f, strokeStyle(kFocusDash));
    }

    // The cursor.
    const int32_t cursor = scene.cursorFrame;
    if (cursor >= first && cursor <= last) {
        const int32_t x0 = view.pixelOf(cursor), x1 = view.pixelOf(cursor + 1);
        if (x1 - x0 < 2)
            fillRectangle(x0, 1, x0 + 1, rowHeight, brushes.get(Brushes::FrameCursor));
        else
            fillRectangle(x0, 1, x1, rowHeight, brushes.get(Brushes::FrameCursorWide));
    }

    // A repainted row makes a saved strip stale.
    overlaySaved_ = false;
}

void EditLayerObjectControl::drawTempoGrid(int32_t first, int32_t last) {
    const Edit::Scene& scene = *panel_.scene;
    const TimelineView& view = panel_.view;
    const double d = double(scene.videoRate) * 60;
    const double e = double(scene.videoScale) * panel_.tempoBeatPerMinute;
    if (d <= 0 || e <= 0) return;
    const double o = scene.videoScale > 0 ? double(scene.videoRate) * panel_.tempoOffsetTime / scene.videoScale : 0;
    const int32_t beatTime = panel_.tempoBeatTime;
    auto beatFrame = [&](double n, double step) { return static_cast<int32_t>(n * step + o); };
    double step = d / e;
    bool barsOnly = false;
    if (view.pixelOf(beatFrame(1, step)) - view.pixelOf(beatFrame(0, step)) < 6) {
        if (beatTime < 2) return;
        step = d * beatTime / e;
        if (view.pixelOf(beatFrame(1, step)) - view.pixelOf(beatFrame(0, step)) < 6) return;
        barsOnly = true;
    }
    Window::StyleBrushList& brushes = panel_.windowService->brushes;
    const int32_t rowHeight = view.metrics.layerHeight;
    const auto from = static_cast<int64_t>((first - o) / step), to = static_cast<int64_t>((last - o) / step);
    for (int64_t n = from; n <= to; ++n) {
        const int32_t x = view.pixelOf(beatFrame(double(n), step));
        const bool bar = barsOnly || (beatTime > 0 && n % beatTime == 0);
        drawLine(x, 1, x, rowHeight, brushes.get(bar ? Brushes::Border : Brushes::GuideLine), 1, strokeStyle(kDash));
    }
}

void EditLayerObjectControl::drawObjectBar(const Edit::Object& object, int32_t left, int32_t right, int32_t firstFrame,
                                           bool layerHidden) {
    Window::StyleBrushList& brushes = panel_.windowService->brushes;
    const TimelineView& view = panel_.view;
    const int32_t rowHeight = view.metrics.layerHeight;
    const KindFill fill = fillOf(object.getObjectType());
    if (object.selected) {
        fillRectangle(left, kBarTop, right, rowHeight, brushes.get(fill.selected));
    } else {
        fillRectangleGradient(left, kBarTop, right, rowHeight, brushes.gradient(fill.normal));
        // The bands of linked sound and of clipping, fading downwards.
        auto band = [&](Brushes::Index index, int32_t top) {
            Platform::draw2d::LinearGradientBrush& fade = brushes.gradient(index);
            fade.setStartPoint({float(originX + left), float(originY + top)});
            fade.setEndPoint({float(originX + left), float(originY + rowHeight)});
            fillRectangle(left, top, right, rowHeight, fade);
        };
        const Effect::EffectBase& head = *object.effects.front();
        if (head.role == Effect::EffectBase::kInput && head.media == Effect::EffectBase::kVideoAudio &&
            head.hasLinkedAudio(0))
            band(Brushes::ObjectAudioFade, (rowHeight + 5) / 2 + 1);
        if (object.clipping) band(Brushes::ClippingObject, (3 * rowHeight + 15) / 4 + 1);
    }

    if (right - left - 4 > 0 && format_ != nullptr) {
        const Effect::EffectBase& head = *object.effects.front();
        const std::wstring name = head.getDisplayName();
        if (!name.empty()) {
            const DrawScope label(*this, left + 4, labelTop, right, rowHeight, false);
            Resource::TextLayout layout;
            layout.create(*format_, name.c_str(), static_cast<int32_t>(name.size()));
            target->drawTextLayout({float(originX), float(originY)}, *layout.get(),
                                   brushes.get(labelDisabled(object, layerHidden) ? Brushes::TextDisable
                                                                                  : Brushes::Text));
        }
    }

    if (right - left >= 4) {
        for (const int32_t offset : object.midpoints) {
            const int64_t m = int64_t(object.start) + offset;
            const float x = float((((m - firstFrame) * 2 + 1) * view.zoom) / 20000);
            const float points[] = {std::max(float(left), x - 4), 2, std::min(x + 5, float(right)), 2, x + 0.5f, 6};
            fillPath(points, brushes.get(Brushes::ObjectSection));
        }
    }
}

void EditLayerObjectControl::drawFeedback(const Edit::Object& object, int32_t left, int32_t right, int32_t firstFrame) {
    Window::StyleBrushList& brushes = panel_.windowService->brushes;
    const int32_t rowHeight = panel_.view.metrics.layerHeight;
    const auto& select = brushes.get(Brushes::BorderSelect);
    if (!object.selected) {
        drawRectangle(left, kBarTop, right, rowHeight, brushes.get(Brushes::ObjectHover), 2, nullptr);
    } else if (drag.mode == ChangeStart) {
        fillRectangle(left, kBarTop, left + 2, rowHeight, select);
    } else if (drag.mode == ChangeEnd) {
        const int32_t x = std::max(left, right - 1);
        fillRectangle(x - 1, kBarTop, x + 1, rowHeight, select);
    }
    if (hover.part != Midpoint || hover.midpoint < 1 || hover.midpoint > int32_t(object.midpoints.size())) return;
    const int64_t m = int64_t(object.start) + object.midpoints[size_t(hover.midpoint - 1)];
    const float x = float((((m - firstFrame) * 2 + 1) * panel_.view.zoom) / 20000);
    if (right - left >= 4) {
        const float points[] = {std::max(float(left), x - 4), 2, std::min(x + 5, float(right)), 2, x + 0.5f, 6};
        fillPath(points, select);
    }
    if (drag.mode == MoveMidpoint && object.selected) {
        const int32_t xi = static_cast<int32_t>(x);
        fillRectangle(xi - 1, kBarTop, xi + 1, rowHeight, select);
    }
}

void EditLayerObjectControl::saveColumns(int32_t x, int32_t width) {
    overlay_.pushImage(*this, x, width, fullRect.h);
    overlaySaved_ = true;
}

void EditLayerObjectControl::drawVerticalBand(int32_t frame) {
    const TimelineView& view = panel_.view;
    const int32_t x0 = view.pixelOf(frame), x1 = view.pixelOf(frame + 1);
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    saveColumns(x0, x1 - x0 + 1);
    const auto& brush = panel_.windowService->brushes.get(Brushes::PlayerCursor);
    if (x1 - x0 < 2)
        fillRectangle(x0, 1, x0 + 1, fullRect.h, brush);
    else
        fillRectangle(x0, 1, x1, fullRect.h, brush);
}

void EditLayerObjectControl::drawPlayerCursor() {
    if (target == nullptr || !panel_.scene || fullRect.w <= 0 || fullRect.h <= 0) return;
    const int32_t p = panel_.scene->playFrame;
    if (p < panel_.view.displayFrame || p > panel_.view.lastVisibleFrame(fullRect.w)) return;
    drawVerticalBand(p);
}

void EditLayerObjectControl::drawInsertGuide(int32_t frame) {
    restoreOverlay();
    if (target == nullptr || fullRect.w <= 0 || fullRect.h <= 0) return;
    const TimelineView& view = panel_.view;
    if (frame < view.displayFrame || frame > view.lastVisibleFrame(fullRect.w)) return;
    const int32_t x = view.pixelOf(frame) + (view.pixelOf(frame + 1) - view.pixelOf(frame)) / 2;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    saveColumns(x, 1);
    fillRectangle(x, 1, x + 1, fullRect.h, panel_.windowService->brushes.get(Brushes::GuideLine));
}

void EditLayerObjectControl::restoreOverlay() {
    if (!overlaySaved_) return;
    overlaySaved_ = false;
    if (target == nullptr) return;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    overlay_.popImage();
}

// ---- hit tests

std::shared_ptr<Edit::Object> EditLayerObjectControl::hitObject(int32_t x, int32_t y) const {
    if (!panel_.scene || y < 0) return nullptr;
    const int32_t layer = panel_.view.layerAt(y);
    if (layer < 0 || layer >= panel_.scene->layerCount()) return nullptr;
    const TimelineView& view = panel_.view;
    return panel_.scene->getLayer(layer).findNearestObject(view.frameAt(x - kHitSlack), view.frameAt(x + kHitSlack));
}

EditLayerObjectControl::Hover EditLayerObjectControl::hitPart(const std::shared_ptr<Edit::Object>& object,
                                                              int32_t x) const {
    Hover hit{object, Body, -1};
    if (!object || !panel_.scene) return hit;
    const Edit::SceneLayer& slot = panel_.scene->getLayer(object->layer);
    if (slot.layer && slot.layer->lock) return hit;
    const TimelineView& view = panel_.view;
    const int32_t f = view.frameAt(x);
    int32_t m = -1;
    int64_t best = 0;
    for (size_t i = 0; i < object->midpoints.size(); ++i) {
        const int64_t at = int64_t(object->start) + object->midpoints[i];
        const int64_t distance = std::llabs(at - f);
        if (m < 0 || distance < best) {
            m = int32_t(i) + 1;
            best = distance;
        }
    }
    if (m > 0) {
        const int64_t at = int64_t(object->start) + object->midpoints[size_t(m - 1)];
        if (at < view.frameAt(x - kHitSlack) || at > view.frameAt(x + kHitSlack)) m = -1;
    }
    const int32_t g = x - view.pixelOf(object->start);
    const int32_t h = view.pixelOf(object->end + 1) - x;
    if (g < kHitSlack + 1 || h < kHitSlack + 1) {
        if (m < 0) {
            hit.part = g < h ? StartEdge : EndEdge;
            return hit;
        }
        const int32_t e = std::abs(view.pixelOf(object->start + object->midpoints[size_t(m - 1)]) - x);
        if (g < h && g < e)
            hit.part = StartEdge;
        else if (g >= h && h < e)
            hit.part = EndEdge;
        else {
            hit.part = Midpoint;
            hit.midpoint = m;
        }
        return hit;
    }
    if (m > 0) {
        hit.part = Midpoint;
        hit.midpoint = m;
    }
    return hit;
}

void EditLayerObjectControl::setHover(Hover next) {
    if (next.object == hover.object && next.part == hover.part && next.midpoint == hover.midpoint) return;
    const std::shared_ptr<Edit::Object> old = hover.object;
    hover = std::move(next);
    if (old && (!hover.object || old->layer != hover.object->layer)) paintRow(old->layer);
    if (hover.object) {
        paintRow(hover.object->layer);
        if (service != nullptr) service->trackHover(this);
    }
}

void EditLayerObjectControl::procMouseMove(int32_t x, int32_t y) {
    x = areaX(x);
    y = areaY(y);
    const std::shared_ptr<Edit::Object> object = hitObject(x, y);
    if (!object) {
        setHover({});
        return;
    }
    setHover(hitPart(object, x));
    if (hover.part != Body && !ctrlHeld() && service != nullptr) service->currentCursor = &Router::MouseCursor::SizeWE;
}

void EditLayerObjectControl::procMouseLeave() { setHover({}); }

// ---- presses

void EditLayerObjectControl::procLButtonDown(int32_t x, int32_t y) { pressAt(areaX(x), areaY(y)); }

void EditLayerObjectControl::forwardLButtonDown(Window::WindowMouse& from, int32_t x, int32_t y) {
    if (Window::ControlInput::passCapture(from, *this)) pressAt(x, y);
}

void EditLayerObjectControl::forwardRButtonDown(Window::WindowMouse& from, int32_t x, int32_t y) {
    if (Window::ControlInput::passCapture(from, *this)) panFrom(x, y);
}

void EditLayerObjectControl::pressAt(int32_t x, int32_t y) {
    Edit::EditService* edit = Edit::EditService::instance();
    Router* router = Router::get();
    if (edit == nullptr || !panel_.scene || edit->currentScene() != panel_.scene) return;
    Edit::Scene& scene = *panel_.scene;
    const bool ctrl = ctrlHeld();
    auto arm = [&](Router::MouseCursor* cursor) {
        dragging = true;
        if (router != nullptr && router->captureTarget == this)
            router->beginDrag(fullRect.x - visibleRect.x, fullRect.y - visibleRect.y, cursor);
    };
    if (hover.object && hover.object->layer >= 0) {
        const std::shared_ptr<Edit::Object> object = hover.object;
        if (!ctrl) {
            const bool twice = router != nullptr && router->doubleClick;
            std::shared_ptr<Edit::Object> focus = scene.focusObject;
            if (twice && scene.focusObject == object)
                focus = nullptr;
            else if (edit->settings().singleClickFocusLayerObject != 0 ? !twice : twice)
                focus = object;
            if (focus != scene.focusObject) {
                auto scope = edit->openSection();
                scope->scene->focusObject = focus;
                scope->focusChanged = true;
            }
        }
        if (!ctrl && hover.part != Body) {
            edit->addSelectObject(object, true);
            arm(&Router::MouseCursor::SizeWE);
            beginDrag(hover.part + 1, x, y);
            paintRow(object->layer);
        } else {
            edit->clickSelectObject(this, object, edit->settings().clickLayerObjectSelectGroup != 0);
            arm(&Router::MouseCursor::Arrow);
            beginDrag(Move, x, y);
        }
        return;
    }
    if (ctrl) {
        if (router != nullptr) router->holdKey(this, int32_t(W::kVkControl));
        drag = {};
        drag.mode = Band;
        drag.pressDisplayLayer = panel_.view.displayLayer;
        drag.pressDisplayFrame = panel_.view.displayFrame;
        drag.bandX = x;
        drag.bandY = y;
        rubberBand = {x, y, 0, 0};
        arm(&Router::MouseCursor::Arrow);
        return;
    }
    if (y < 0 && router != nullptr && router->doubleClick && !shiftHeld() && scene.selectedStart >= 0) {
        panel_.setSelectFrameRange(-1, -1);
        return;
    }
    drag = {};
    drag.mode = Seek;
    drag.pressDisplayLayer = panel_.view.displayLayer;
    drag.pressDisplayFrame = panel_.view.displayFrame;
    arm(&Router::MouseCursor::Arrow);
    panel_.seekToPixel(x);
}

void EditLayerObjectControl::procRButtonDown(int32_t x, int32_t y) { panFrom(areaX(x), areaY(y)); }

void EditLayerObjectControl::panFrom(int32_t x, int32_t y) {
    drag = {};
    drag.mode = Pan;
    drag.pressDisplayLayer = panel_.view.displayLayer;
    drag.pressDisplayFrame = panel_.view.displayFrame;
    dragging = true;
    Router* router = Router::get();
    if (router != nullptr && router->captureTarget == this)
        router->beginDrag(x - (visibleRect.x - fullRect.x), y - (visibleRect.y - fullRect.y),
                          &Router::MouseCursor::SizeAll);
}

void EditLayerObjectControl::beginDrag(int32_t mode, int32_t x, int32_t y) {
    drag = {};
    drag.mode = mode;
    drag.pressDisplayLayer = panel_.view.displayLayer;
    drag.pressDisplayFrame = panel_.view.displayFrame;
    drag.pressLayer = drag.curLayer = panel_.view.layerAt(y);
    drag.pressFrame = drag.curFrame = panel_.view.frameAt(x);
    if (mode >= ChangeStart && mode <= MoveMidpoint) showTimeTip(0);
    if (!panel_.scene) return;
    const Edit::Scene::Selection& selection = panel_.scene->selection;
    if (selection.objects.size() == 1) {
        drag.pressStart = selection.objects.front()->start;
        drag.pressEnd = selection.objects.front()->end;
    }
    if (Undo::UndoService* undo = Undo::UndoService::get()) {
        undo->abandonRecord();
        undo->recording = true;
        for (const auto& object : selection.objects) undo->addObjectUndoUpdate(object);
    }
    // Per layer: the smallest start and the largest end of the selected objects.
    bool firstEntry = true;
    for (const auto& object : selection.objects) {
        if (object->layer < 0) continue;
        auto found = std::find_if(drag.ranges.begin(), drag.ranges.end(),
                                  [&](const LayerRange& r) { return r.layer == object->layer; });
        if (found == drag.ranges.end())
            drag.ranges.push_back({object->layer, object->start, object->end});
        else {
            found->start = std::min(found->start, object->start);
            found->end = std::max(found->end, object->end);
        }
        drag.lowestLayer = firstEntry ? object->layer : std::min(drag.lowestLayer, object->layer);
        drag.highestLayer = firstEntry ? object->layer : std::max(drag.highestLayer, object->layer);
        firstEntry = false;
    }
}

// ---- dragging

void EditLayerObjectControl::procMouseDrag(int32_t x, int32_t y) {
    TimelineView& view = panel_.view;
    if (!panel_.scene) return;
    Edit::Scene& scene = *panel_.scene;
    Router* router = Router::get();
    const int32_t rowHeight = view.metrics.layerHeight;
    switch (drag.mode) {
    case Move: {
        if (scene.selection.objects.empty()) {
            if (router != nullptr) router->currentCursor = &Router::MouseCursor::No;
            return;
        }
        int32_t layerDelta = (y - 3) / rowHeight + view.displayLayer - drag.curLayer;
        int32_t frameDelta = view.frameAt(x) - drag.curFrame;
        snapDrag(frameDelta);
        if (shiftHeld()) {
            const int64_t tf = int64_t(drag.curFrame) + frameDelta - drag.pressFrame;
            const int64_t tl = int64_t(drag.curLayer) + layerDelta - drag.pressLayer;
            if ((std::llabs(tf) * view.zoom + 5000) / 10000 < std::llabs(tl) * rowHeight)
                frameDelta = drag.pressFrame - drag.curFrame;
            else
                layerDelta = drag.pressLayer - drag.curLayer;
        }
        // Auto-scroll while the pointer is outside the area.
        const int32_t height = fullRect.h, width = fullRect.w;
        if (y < 0)
            view.displayLayer = std::max(0, view.displayLayer + y / rowHeight);
        else if (y >= height - rowHeight)
            view.displayLayer = std::max(0, std::min(view.layerRange - view.visibleRows,
                                                     view.displayLayer + (y - rowHeight - height) / rowHeight + 1));
        if (x < 0)
            view.displayFrame = std::max(0, view.displayFrame - int32_t(int64_t(-x) * 10000 / view.zoom));
        else if (x >= width)
            view.displayFrame =
                std::max(0, std::min(view.frameRange - view.visibleFrames,
                                     int32_t(view.displayFrame + int64_t(x - width + 1) * 10000 / view.zoom)));
        scene.displayLayer = view.displayLayer;
        scene.displayFrame = view.displayFrame;
        moveSelection(layerDelta, frameDelta);
        drag.curLayer += layerDelta;
        drag.curFrame += frameDelta;
        return;
    }
    case ChangeStart:
    case ChangeEnd:
    case MoveMidpoint: {
        int32_t delta = view.frameAt(x) - drag.curFrame;
        snapDrag(delta);
        if (drag.mode == ChangeStart)
            changeStart(delta);
        else if (drag.mode == ChangeEnd)
            changeEnd(delta);
        else
            moveMidpoint(delta);
        drag.curFrame += delta;
        return;
    }
    case Seek: panel_.seekToPixel(x); return;
    case Band: {
        const int32_t l = std::min(drag.bandX, x), t = std::min(drag.bandY, y);
        rubberBand = {l, t, std::abs(x - drag.bandX), std::abs(y - drag.bandY)};
        selectInBand();
        procPaint();
        return;
    }
    case Pan: {
        const int32_t layer =
            std::clamp(drag.pressDisplayLayer - y / rowHeight, 0, std::max(0, view.layerRange - view.visibleRows));
        const int64_t frame = int64_t(drag.pressDisplayFrame) - int64_t(x) * 10000 / view.zoom;
        panel_.scrollTo(layer,
                        int32_t(std::clamp<int64_t>(frame, 0, std::max(0, view.frameRange - view.visibleFrames))),
                        scene.cursorFrame);
        return;
    }
    default: return;
    }
}

void EditLayerObjectControl::snapFrame(int32_t f, int32_t& range) const {
    if (!panel_.scene) return;
    const Edit::Scene& scene = *panel_.scene;
    int64_t best = std::llabs(int64_t(range));
    bool found = false;
    int64_t target = 0;
    auto consider = [&](int64_t candidate) {
        if (std::llabs(candidate - f) < best) {
            best = std::llabs(candidate - f);
            target = candidate;
            found = true;
        }
    };
    for (int32_t layer = 0; layer <= panel_.lastLayer() && best > 0; ++layer) {
        const Edit::SceneLayer& slot = scene.getLayer(layer);
        for (size_t i = slot.lowerBoundByEnd(int32_t(std::max<int64_t>(INT32_MIN, f - best))); i < slot.objects.size();
             ++i) {
            const Edit::Object& o = *slot.objects[i];
            if (o.start > f + best) break;
            if (o.selected || o.layer != layer) continue;
            consider(o.start);
            for (const int32_t m : o.midpoints) consider(int64_t(o.start) + m);
            consider(int64_t(o.end) + 1);
        }
    }
    if (panel_.tempoGrid != 0) {
        const double d = double(scene.videoRate) * 60;
        const double e = double(scene.videoScale) * panel_.tempoBeatPerMinute;
        if (d > 0 && e > 0) {
            const double o =
                scene.videoScale > 0 ? double(scene.videoRate) * panel_.tempoOffsetTime / scene.videoScale : 0;
            const TimelineView& view = panel_.view;
            auto pixels = [&](double step) { return view.pixelOf(int32_t(step + o)) - view.pixelOf(int32_t(o)); };
            double step = d / e;
            bool usable = pixels(step) >= 6;
            if (!usable && panel_.tempoBeatTime >= 2) {
                step = d * panel_.tempoBeatTime / e;
                usable = pixels(step) >= 6;
            }
            if (usable) consider(static_cast<int64_t>(std::llround((f - o) / step) * step + o));
        }
    }
    if (best > 0) consider(scene.cursorFrame);
    if (found) range = int32_t(target - f);
}

void EditLayerObjectControl::snapDrag(int32_t& delta) const {
    Edit::EditService* edit = Edit::EditService::instance();
    if (!hover.object || edit == nullptr || edit->settings().layerObjectMoveSnap == 0) return;
    const Edit::Object& o = *hover.object;
    const int32_t r = 80000 / panel_.view.zoom + 1;
    int32_t range = r;
    switch (drag.mode) {
    case Move:
        snapFrame(o.start + delta, range);
        snapFrame(o.end + 1 + delta, range);
        break;
    case ChangeStart: snapFrame(o.start + delta, range); break;
    case ChangeEnd: snapFrame(o.end + 1 + delta, range); break;
    case MoveMidpoint:
        if (hover.midpoint < 1 || hover.midpoint > int32_t(o.midpoints.size())) return;
        snapFrame(o.start + o.midpoints[size_t(hover.midpoint - 1)] + delta, range);
        break;
    default: return;
    }
    if (std::abs(range) < r) delta += range;
}

void EditLayerObjectControl::moveSelection(int32_t dL, int32_t dF) {
    if (!panel_.scene) return;
    Edit::Scene& scene = *panel_.scene;
    const std::vector<std::shared_ptr<Edit::Object>> selected = scene.selection.objects;
    if (selected.empty()) return;
    const TimelineView& view = panel_.view;
    const int32_t shift = drag.movedLayers;
    if (dL > 0 && drag.highestLayer + shift + dL > view.layerRange - 1)
        dL = std::max(0, view.layerRange - 1 - drag.highestLayer - shift);
    if (dL < 0 && drag.lowestLayer + shift + dL < 0) dL = -(drag.lowestLayer + shift);
    const int32_t shiftFrames = drag.movedFrames;
    const int32_t f0 = dF;
    // Give way to the unselected objects until a pass finds no conflict.
    for (bool again = true; again;) {
        again = false;
        if (dF == 0 && dL == 0) {
            panel_.scrollTo(view.displayLayer, view.displayFrame, scene.cursorFrame);
            return;
        }
        for (const LayerRange& entry : drag.ranges) {
            const int64_t a = int64_t(entry.start) + shiftFrames, b = int64_t(entry.end) + shiftFrames;
            const Edit::SceneLayer& slot = scene.getLayer(entry.layer + shift + dL);
            if (dF > 0) {
                if (const Edit::Object* o = obstacle(slot, a + dF, b + dF, false)) {
                    dF = int32_t(std::max<int64_t>(0, o->start - 1 - b));
                    again = true;
                }
            } else if (dF < 0) {
                if (a + dF < 0) {
                    dF = int32_t(-a);
                    again = true;
                } else if (const Edit::Object* o = obstacle(slot, a + dF, b + dF, true)) {
                    dF = int32_t(std::min<int64_t>(0, int64_t(o->end) + 1 - a));
                    again = true;
                }
            } else if (dL != 0 && obstacle(slot, a, b, false) != nullptr) {
                dL += dL > 0 ? -1 : 1;
                dF = f0;
                again = true;
            }
            if (again) break;
        }
    }
    const int32_t lastFrameBefore = panel_.lastFrame();
    {
        auto scope = openStep(true);
        for (const auto& object : selected) {
            if (object->layer < 0) continue;
            if (dL != 0) scene.moveObjectToLayer(object, object->layer + dL);
            object->start += dF;
            object->end += dF;
            Edit::SceneLayer& slot = *scene.layers[size_t(object->layer)];
            slot.needsSort = true;
            if (object->layerRangeControl) slot.rangesDirty = true;
        }
    }
    drag.movedLayers += dL;
    drag.movedFrames += dF;
    bool oneLayer = true;
    for (const auto& object : selected) oneLayer = oneLayer && object->layer == selected.front()->layer;
    if (dL == 0 && oneLayer && panel_.lastFrame() == lastFrameBefore && !scene.selection.controlSelected)
        panel_.refresh(selected.front()->layer);
    else
        panel_.refresh(-1);
}

int32_t EditLayerObjectControl::changeStart(int32_t dF) {
    if (!panel_.scene || panel_.scene->selection.objects.size() != 1) return 0;
    Edit::Scene& scene = *panel_.scene;
    const std::shared_ptr<Edit::Object> object = scene.selection.objects.front();
    if (object->layer < 0) return 0;
    if (const Edit::Object* o = obstacle(scene.getLayer(object->layer), int64_t(object->start) + dF, object->end, true))
        dF = std::min(0, o->end + 1 - object->start);
    const int32_t boundary = object->midpoints.empty() ? object->end + 1 : object->start + object->midpoints.front();
    const int32_t next = std::clamp(object->start + dF, 0, boundary - 1);
    const int32_t moved = next - object->start;
    if (moved != 0) {
        {
            auto scope = openStep(true);
            object->start = next;
            for (int32_t& m : object->midpoints) m -= moved;
        }
        panel_.refresh(scene.selection.controlSelected ? -1 : object->layer);
    }
    showTimeTip(0);
    return moved;
}

int32_t EditLayerObjectControl::changeEnd(int32_t dF) {
    if (!panel_.scene || panel_.scene->selection.objects.size() != 1) return 0;
    Edit::Scene& scene = *panel_.scene;
    const std::shared_ptr<Edit::Object> object = scene.selection.objects.front();
    if (object->layer < 0) return 0;
    const int32_t lowest = object->midpoints.empty() ? object->start : object->start + object->midpoints.back() + 1;
    if (const Edit::Object* o =
            obstacle(scene.getLayer(object->layer), object->start, int64_t(object->end) + dF, false))
        dF = std::max(0, o->start - 1 - object->end);
    dF = std::max(dF, lowest - object->end);
    if (dF != 0) {
        const int32_t lastFrameBefore = panel_.lastFrame();
        {
            auto scope = openStep(true);
            object->end += dF;
        }
        panel_.refresh(panel_.lastFrame() != lastFrameBefore || scene.selection.controlSelected ? -1 : object->layer);
    }
    showTimeTip(0);
    return dF;
}

int32_t EditLayerObjectControl::moveMidpoint(int32_t dF) {
    if (!panel_.scene || panel_.scene->selection.objects.size() != 1) return 0;
    const std::shared_ptr<Edit::Object> object = panel_.scene->selection.objects.front();
    const int32_t k = hover.object == object ? hover.midpoint : -1;
    if (k < 1 || k > int32_t(object->midpoints.size())) return 0;
    const size_t i = size_t(k - 1);
    const int32_t low = i == 0 ? 1 : object->midpoints[i - 1] + 1;
    const int32_t high =
        i + 1 < object->midpoints.size() ? object->midpoints[i + 1] - 1 : object->end - object->start - 1;
    const int32_t next = std::clamp(object->midpoints[i] + dF, low, std::max(low, high));
    const int32_t moved = next - object->midpoints[i];
    if (moved != 0) {
        {
            auto scope = openStep(false);
            object->midpoints[i] = next;
        }
        panel_.refresh(object->layer);
    }
    showTimeTip(0);
    return moved;
}

void EditLayerObjectControl::selectInBand() {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || !panel_.scene) return;
    const TimelineView& view = panel_.view;
    const int32_t left = std::max(0, rubberBand.x), top = std::max(0, rubberBand.y);
    const int32_t right = std::min(fullRect.w, rubberBand.x + rubberBand.w);
    const int32_t bottom = std::min(fullRect.h, rubberBand.y + rubberBand.h);
    if (right < left || bottom < top) return;
    const int32_t a = view.frameAt(left), b = view.frameAt(right);
    bool added = false;
    for (int32_t layer = view.layerAt(top); layer <= view.layerAt(bottom); ++layer) {
        const Edit::SceneLayer& slot = panel_.scene->getLayer(layer);
        for (size_t i = slot.lowerBoundByEnd(a); i < slot.objects.size(); ++i) {
            const std::shared_ptr<Edit::Object>& object = slot.objects[i];
            if (object->start > b) break;
            if (object->selected || object->layer != layer) continue;
            added = edit->addSelectObject(object, false) || added;
        }
    }
    if (added)
        if (Event::EventService* events = Event::EventService::get()) events->selectionListeners.call();
}

bool EditLayerObjectControl::procDragKey(int32_t key) {
    if (drag.mode < Move || drag.mode > MoveMidpoint) return false;
    int32_t delta = 0;
    if (key == int32_t(W::kVkLeft))
        delta = -1;
    else if (key == int32_t(W::kVkRight))
        delta = 1;
    else
        return false;
    if (drag.mode == Move) {
        const int32_t before = drag.movedFrames;
        moveSelection(0, delta);
        drag.curFrame += drag.movedFrames - before;
        return true;
    }
    const int32_t applied = drag.mode == ChangeStart ? changeStart(delta)
                            : drag.mode == ChangeEnd ? changeEnd(delta)
                                                     : moveMidpoint(delta);
    drag.curFrame += applied;
    return true;
}

// ---- the end of a gesture

void EditLayerObjectControl::procKeyRelease() { finishDrag(true); }

void EditLayerObjectControl::procCaptureLost() {
    finishDrag(true);
    endDrag();
}

void EditLayerObjectControl::procDragCancel() {
    finishDrag(false);
    endDrag();
}

void EditLayerObjectControl::finishDrag(bool clearOnRelease) {
    Edit::EditService* edit = Edit::EditService::instance();
    Router* router = Router::get();
    bool repaintNeeded = false;
    if (rubberBand.w != 0 && rubberBand.h != 0) repaintNeeded = true;
    rubberBand = {0, 0, 0, 0};
    const bool objectDrag = drag.mode >= Move && drag.mode <= MoveMidpoint;
    const bool moved = router != nullptr && router->dragStarted;
    if (objectDrag) {
        if (!moved && panel_.scene && panel_.scene->selection.reclicked != nullptr) {
            Edit::Scene::Selection& selection = panel_.scene->selection;
            const Edit::Object* again = selection.reclicked;
            auto found = std::find_if(selection.objects.begin(), selection.objects.end(),
                                      [again](const auto& o) { return o.get() == again; });
            if (found != selection.objects.end()) {
                (*found)->selected = false;
                selection.objects.erase(found);
                repaintNeeded = true;
            }
            selection.reclicked = nullptr;
        }
        endDrag();
    }
    if (clearOnRelease && edit != nullptr && edit->currentScene() == panel_.scene) edit->clickClearSelection(this);
    if (objectDrag && moved) {
        if (Event::EventService* events = Event::EventService::get()) events->objectChangedListeners.call(nullptr);
    } else if (repaintNeeded) {
        panel_.refresh(-1);
    }
}

void EditLayerObjectControl::endDrag() {
    const int32_t mode = drag.mode;
    if (mode == None) return;
    if ((mode == ChangeStart || mode == ChangeEnd) && panel_.scene && panel_.scene->selection.objects.size() == 1) {
        const std::shared_ptr<Edit::Object> object = panel_.scene->selection.objects.front();
        // The source hears where its start or end was at the press.
        auto scope = Edit::EditService::instance()->openSection();
        Effect::ItemEvent event;
        event.kind = mode == ChangeStart ? Effect::ItemEvent::kStartMoved : Effect::ItemEvent::kEndMoved;
        event.scope = scope.get();
        event.frame = mode == ChangeStart ? drag.pressStart : drag.pressEnd;
        object->sendInputEffectEvent(event);
    }
    if (mode >= Move && mode <= MoveMidpoint)
        if (Undo::UndoService* undo = Undo::UndoService::get()) undo->commitRecord();
    drag = {};
    dragging = false;
    if (Window::ToolTips::shown) Window::ToolTips::hide();
}

// ---- the wheel, the menu and the time tip

void EditLayerObjectControl::procMouseWheel(int32_t x, int32_t, int32_t delta) {
    TimelineView& view = panel_.view;
    if (!panel_.scene) return;
    const int32_t cursor = panel_.scene->cursorFrame;
    if (ctrlHeld()) {
        const Edit::FrameZoom zoom(view.zoom, &Edit::FrameZoom::normalize);
        panel_.zoomAroundFrame(zoom.getStepZoom(delta > 0 ? 1 : -1), view.frameAt(areaX(x)));
        return;
    }
    if (panel_.layerWheelMode != 0) {
        panel_.scrollTo(std::clamp(view.displayLayer + (delta <= 0 ? 1 : -1), 0,
                                   std::max(0, view.layerRange - view.visibleRows)),
                        view.displayFrame, cursor);
        return;
    }
    const int64_t frame = int64_t(view.displayFrame) + (delta <= 0 ? 1000000 : -1000000) / view.zoom;
    panel_.scrollTo(view.displayLayer,
                    int32_t(std::clamp<int64_t>(frame, 0, std::max(0, view.frameRange - view.visibleFrames))), cursor);
}

int32_t EditLayerObjectControl::insertFrameAt(int32_t x) const {
    const TimelineView& view = panel_.view;
    const int32_t f = view.frameAt(x);
    const int32_t limit = 80000 / std::max(view.zoom, 1) + 1;
    int32_t range = limit;
    snapFrame(f, range);
    return std::abs(range) < limit ? f + range : f;
}

void EditLayerObjectControl::selectObjects(int32_t range) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || !panel_.scene || edit->currentScene() != panel_.scene) return;
    const Edit::Scene& scene = *panel_.scene;
    const int32_t cursor = scene.cursorFrame;
    for (int32_t layer = 0; layer <= panel_.lastLayer(); ++layer) {
        const Edit::SceneLayer& slot = scene.getLayer(layer);
        if (slot.layer && slot.layer->lock) continue;
        for (const auto& o : slot.objects) {
            if (o->selected || o->layer != layer) continue;
            if ((range == SelectFromCursor && o->start < cursor) || (range == SelectToCursor && o->end > cursor))
                continue;
            edit->addSelectObject(o, false);
        }
    }
    if (scene.selection.objects.empty()) return;
    if (Router* router = Router::get(); router != nullptr && router->keyHoldTarget == nullptr) {
        router->keyHoldTarget = this;
        router->keyHoldKey = W::kVkControl;
    }
    if (Event::EventService* events = Event::EventService::get()) events->selectionListeners.call();
    procPaint();
}

void EditLayerObjectControl::procContextMenu(int32_t x, int32_t y) {
    x = areaX(x);
    y = areaY(y);
    Edit::EditService* edit = Edit::EditService::instance();
    const bool usable = edit != nullptr && panel_.scene && edit->currentScene() == panel_.scene;
    Window::PopupMenu menu;
    int32_t guide = -1;
    if (usable) {
        namespace EC = Edit::EditCommand;
        const bool ctrl = ctrlHeld();
        std::shared_ptr<Edit::Object> clicked = ctrl ? nullptr : hitObject(x, y);
        int32_t mid = -1;
        if (clicked) {
            edit->clickSelectObject(this, clicked, edit->settings().clickLayerObjectSelectGroup != 0);
            const Hover part = hitPart(clicked, x);
            if (part.part == Midpoint) mid = part.midpoint;
            procPaint();
        }
        const int32_t layer = std::max(panel_.view.layerAt(y), 0);
        const int32_t f = insertFrameAt(x);
        const int32_t s = edit->settings().addSectionSplitByCursorFrame != 0 ? panel_.scene->cursorFrame : f;
        const ObjectAreaCommands& slots = ObjectAreaCommands::installed();
        auto add = [](Window::BaseMenu& into, const wchar_t* label, bool enabled, std::function<void()> action) {
            const Window::BaseMenu::Item item = into.insertItem(label, std::move(action));
            if (!enabled) W::enableMenuItem(item.menu, static_cast<uint32_t>(item.id), false);
            return item;
        };
        std::weak_ptr<EditLayerObjectControl*> weak = self_;
        if (panel_.scene->selection.objects.empty()) {
            Window::BaseMenu objects(menu, L"オブジェクトを追加");
            Menu::addObjectMenu(objects, layer, f, 200);
            Window::BaseMenu filters(menu, L"フィルタ効果を追加");
            Menu::addObjectMenu(filters, layer, f, 201);
            menu.insertSeparator();
            add(menu, L"貼り付け", EC::canPaste(), [layer, f] { EC::pasteObject(layer, f); });
            add(menu, L"空のフレームを挿入", bool(slots.insertNullFrame), [f] {
                if (const auto& run = ObjectAreaCommands::installed().insertNullFrame) run(f);
            });
            menu.insertSeparator();
            Window::BaseMenu select(menu, L"オブジェクト選択");
            const struct {
                const wchar_t* label;
                int32_t range;
            } ranges[] = {{L"全てのオブジェクトを選択", SelectAll},
                          {L"現在のフレーム以降に開始するオブジェクトを選択", SelectFromCursor},
                          {L"現在のフレーム以前に終了するオブジェクトを選択", SelectToCursor}};
            // Offered only while Ctrl is held.
            for (const auto& r : ranges)
                add(select, r.label, ctrl, [weak, range = r.range] {
                    if (auto self = weak.lock(); self && *self) (*self)->selectObjects(range);
                });
            menu.insertSeparator();
        } else {
            add(menu, L"切り取り", true, [] { EC::cutObject(); });
            add(menu, L"コピー", true, [] { EC::copyObject(); });
            add(menu, L"貼り付け", EC::canPaste(), [layer, f] { EC::pasteObject(layer, f); });
            add(menu, L"削除", true, [] { EC::deleteObject(); });
            menu.insertSeparator();
            bool splits = false;
            for (const auto& o : EC::getTargets(*panel_.scene)) splits = splits || EC::canSplitAt(*o, s);
            add(menu, L"分割", splits, [s] { EC::splitObject(s); });
            add(menu, L"長さを変更", bool(slots.changeObjectLength), [] {
                if (const auto& run = ObjectAreaCommands::installed().changeObjectLength) run();
            });
            add(menu, L"対象レイヤー範囲を調整",
                slots.adjustTargetLayerRange && slots.canAdjustTargetLayerRange && slots.canAdjustTargetLayerRange(),
                [] {
                    if (const auto& run = ObjectAreaCommands::installed().adjustTargetLayerRange) run();
                });
            menu.insertSeparator();
            add(menu, L"中間点を追加", clicked && slots.createSection && clicked->hasMultiFrameSection(s),
                [clicked, s] {
                    if (const auto& run = ObjectAreaCommands::installed().createSection) run(clicked, s);
                });
            add(menu, L"中間点を削除",
                clicked && slots.deleteSection && mid > 0 && mid <= int32_t(clicked->midpoints.size()), [clicked, mid] {
                    if (const auto& run = ObjectAreaCommands::installed().deleteSection) run(clicked, mid);
                });
            menu.insertSeparator();
            add(menu, L"エイリアスを作成", clicked && slots.saveObjectAlias, [clicked] {
                if (const auto& run = ObjectAreaCommands::installed().saveObjectAlias) run(clicked);
            });
            menu.insertSeparator();
            if (slots.insertGroupMenu) {
                slots.insertGroupMenu(menu);
                menu.insertSeparator();
            }
        }
        guide = f;
    }
    panel_.addOptionsMenu(menu);
    if (guide >= 0) drawInsertGuide(guide);
    std::weak_ptr<EditLayerObjectControl*> weak = self_;
    menu.show([weak] {
        if (auto self = weak.lock(); self && *self) (*self)->restoreOverlay();
    });
}

bool EditLayerObjectControl::procDragOver(int32_t x, int32_t y, Window::DropFiles& files) {
    Edit::EditService* edit = Edit::EditService::instance();
    const Effect::EffectService* effects = Effect::EffectService::get();
    if (edit == nullptr || effects == nullptr || !panel_.scene || edit->currentScene() != panel_.scene) return false;
    if (files.files.empty()) return false;
    const std::wstring& first = files.files.front();
    if (lowerExtension(first) != L"object" && !effects->isSupportedFile(first)) return false;
    (void)y;
    drawInsertGuide(insertFrameAt(areaX(x)));
    W::Point point = files.point;
    point.y += W::getSystemMetrics(W::kSmCyCursor);
    Window::ToolTips::show(point, L"レイヤーに追加", 0);
    return true;
}

bool EditLayerObjectControl::procDrop(int32_t x, int32_t y, Window::DropFiles& files) {
    Edit::EditService* edit = Edit::EditService::instance();
    const Effect::EffectService* effects = Effect::EffectService::get();
    restoreOverlay();
    if (edit == nullptr || effects == nullptr || !panel_.scene || edit->currentScene() != panel_.scene) return false;
    const int32_t frame = insertFrameAt(areaX(x));
    int32_t layer = std::max(panel_.view.layerAt(areaY(y)), 0);
    for (const std::wstring& file : files.files) {
        if (lowerExtension(file) == L"object") {
            Edit::EditCommand::loadObject(file, layer, frame);
        } else {
            const std::wstring input = effects->getInputEffectForFile(file);
            if (input.empty()) {
                Edit::Project::postError(L"このファイルには対応していません");
                break;
            }
            Edit::EditCommand::createObject(input, layer, frame, Edit::EditCommand::passFile(file));
        }
        ++layer;
    }
    return true;
}

void EditLayerObjectControl::procDragLeave() { restoreOverlay(); }

void EditLayerObjectControl::procMouseHover() {
    if (hover.object && hover.part != Body) showTimeTip(-1);
}

void EditLayerObjectControl::showTimeTip(int32_t timeout) {
    if (timeout == 0 && panel_.showMoveObjectTime == 0) return;
    if (!hover.object || !panel_.scene || panel_.scene->videoRate <= 0) return;
    const Edit::Object& o = *hover.object;
    int64_t frame = o.start;
    if (hover.part == EndEdge)
        frame = int64_t(o.end) + 1;
    else if (hover.part == Midpoint && hover.midpoint >= 1 && hover.midpoint <= int32_t(o.midpoints.size()))
        frame = int64_t(o.start) + o.midpoints[size_t(hover.midpoint - 1)];
    const double perFrame = double(panel_.scene->videoScale) / panel_.scene->videoRate;
    const std::wstring text = formatSigned(double(frame) * perFrame, true) + L" ( " +
                              formatSigned(double(frame - o.start) * perFrame, false) + L" )";
    W::Point point{fullRect.x + panel_.view.pixelOf(int32_t(frame)),
                   fullRect.y + (o.layer - panel_.view.displayLayer + 1) * panel_.view.metrics.layerHeight + 3};
    if (service != nullptr && service->window != nullptr) W::clientToScreen(service->window, point);
    Window::ToolTips::show(point, text.c_str(), timeout);
}

}  // namespace Component
