#include "ui/panels/EditLayerObjectControl.h"

#include <algorithm>
#include <string>

#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "media/gpu/ResourceService.h"
#include "platform/draw2d/RenderTarget.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/WindowService.h"
#include "ui/panels/EditComponent.h"

namespace Component {

namespace {

using Brushes = Window::StyleBrushList;

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

}  // namespace

EditLayerObjectControl::EditLayerObjectControl(EditComponent& panel, Window::ControlContainer& container, int32_t x,
                                               int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h), panel_(panel) {
    const int32_t rowHeight = panel_.view.metrics.layerHeight;
    if (Resource::ResourceService* resources = Resource::ResourceService::get())
        format_ = resources->textFormats[Resource::ResourceService::kLayerObject].get();
    const int32_t lineHeight = format_ != nullptr ? static_cast<int32_t>(format_->getLineHeight()) : 0;
    labelTop = kBarTop + (rowHeight - kBarTop - lineHeight) / 2;
}

void EditLayerObjectControl::procPaint() {
    panel_.ensureLayerSlots();
    if (target == nullptr || fullRect.w <= 0 || fullRect.h <= 0) return;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    for (int32_t i = 0; i < panel_.view.visibleRows; ++i) paintRow(panel_.view.displayLayer + i);
    if (rubberBand.w != 0 && rubberBand.h != 0)
        drawRectangle(rubberBand.x, rubberBand.y, rubberBand.x + rubberBand.w, rubberBand.y + rubberBand.h,
                      panel_.windowService->brushes.get(Brushes::BorderSelect), 2, nullptr);
}

void EditLayerObjectControl::paintRow(int32_t layer) {
    const TimelineView& view = panel_.view;
    if (layer < 0 || layer >= view.displayLayer + view.visibleRows || target == nullptr || !panel_.scene) return;
    const Edit::Scene& scene = *panel_.scene;
    Window::StyleBrushList& brushes = panel_.windowService->brushes;
    const int32_t rowHeight = view.metrics.layerHeight;
    const int32_t top = fullRect.y + (layer - view.displayLayer) * rowHeight;
    const int32_t areaBottom = fullRect.y + fullRect.h;
    if (top >= areaBottom) return;
    const DrawScope scope(*this, fullRect.x, top, fullRect.x + fullRect.w, std::min(top + rowHeight, areaBottom), true);
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
    for (size_t i = slot.lowerBoundByEnd(first); i < slot.objects.size(); ++i) {
        const Edit::Object& object = *slot.objects[i];
        if (object.start > last) break;
        int32_t l = view.pixelOf(object.start);
        int32_t r = view.pixelOf(object.end + 1);
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

void EditLayerObjectControl::drawObjectBar(const Edit::Object& object, int32_t left, int32_t right, int32_t firstFrame,
                                           bool layerHidden) {
    Window::StyleBrushList& brushes = panel_.windowService->brushes;
    const TimelineView& view = panel_.view;
    const int32_t rowHeight = view.metrics.layerHeight;
    const KindFill fill = fillOf(object.getObjectType());
    if (object.selected)
        fillRectangle(left, kBarTop, right, rowHeight, brushes.get(fill.selected));
    else
        fillRectangleGradient(left, kBarTop, right, rowHeight, brushes.gradient(fill.normal));

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

}  // namespace Component
