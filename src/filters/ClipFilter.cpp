#include "filters/ClipFilter.h"

#include <algorithm>

#include "effect/AnchorEvent.h"
#include "effect/AnchorList.h"
#include "effect/ModelQueries.h"
#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

ClipFilter::ClipFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"クリッピング";
}

std::shared_ptr<Media::ResourceBuffer> ClipFilter::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t t = FilterValue::pixels(top.getValue(context));
    const int32_t b = FilterValue::pixels(bottom.getValue(context));
    const int32_t l = FilterValue::pixels(left.getValue(context));
    const int32_t r = FilterValue::pixels(right.getValue(context));
    if (!image || (t == 0 && b == 0 && l == 0 && r == 0)) return image;
    const int64_t width = int64_t(image->width) - l - r;
    const int64_t height = int64_t(image->height) - t - b;
    if (width < 1 || height < 1) return nullptr;  // nothing left: the object is not drawn
    auto cropped = std::make_shared<Media::ResourceBuffer>(uint32_t(width), uint32_t(height));
    cropped->copyRegion(*image, uint32_t(l), uint32_t(t), uint32_t(width), uint32_t(height));
    if (!moveCenter.value) {
        // The remaining part stays where it was on screen.
        context.view.centerX -= static_cast<float>(l - r) * 0.5f;
        context.view.centerY -= static_cast<float>(t - b) * 0.5f;
    }
    return cropped;
}

void ClipFilter::updateAnchor(Render::RenderContext& context, int32_t width, int32_t height) {
    if (locked || !context.scene || !context.object || !context.anchorList) return;
    const ModelQueries& model = modelQueries();
    if (!model.isFocusObject(*context.scene, *context.object)) return;
    if (model.isObjectLayerLocked(*context.scene, *context.object)) return;
    const auto& effects = model.objectEffects(*context.object);
    const auto found = std::find_if(effects.begin(), effects.end(),
                                    [this](const std::shared_ptr<EffectBase>& e) { return e.get() == this; });
    if (found == effects.end()) return;
    const std::shared_ptr<EffectBase> entry = *found;
    const OutputView::Matrix m = context.getOutputView().getWorldViewMatrix();
    // The key the handles move: the last at the end frame, a section's at its start, else every key.
    const int32_t id = context.frame == model.objectEnd(*context.object) ? context.section.count
                       : context.section.offset == 0.0                   ? context.section.index
                                                                         : Anchor::AnchorItem::kCurrentValue;
    const float w = static_cast<float>(width) / 2, h = static_cast<float>(height) / 2;
    const struct {
        const EffectItemNumber& item;
        float x, y;
        uint32_t flag;
    } handles[] = {{left, -w, 0, kLeftEdge}, {top, 0, -h, kTopEdge}, {right, w, 0, kRightEdge},
                   {bottom, 0, h, kBottomEdge}};
    for (const auto& handle : handles) {
        if (!handle.item.isEditableAt(context)) continue;
        context.anchorList->addSmallPoint(context.object, entry, id, handle.x, handle.y, 0, m, handle.flag)
            .setPosition(m, handle.x, handle.y, 0);
    }
}

bool ClipFilter::anchorEvent(const Anchor::AnchorEvent& event) {
    if (event.kind != Anchor::AnchorEvent::kDrag) return false;
    const Platform::math::Float4 moved =
        Anchor::getMovedPosition(event.viewport, event.position, event.matrix, static_cast<float>(event.stepX),
                                 static_cast<float>(event.stepY));
    const double dx = moved.x - event.position.x, dy = moved.y - event.position.y;
    const EffectItemNumber::AnchorAddress address{event.object.get(), event.id};
    bool changed = false;
    if (event.flags & kLeftEdge) changed = left.moveAnchorValue(address, dx) || changed;
    if (event.flags & kRightEdge) changed = right.moveAnchorValue(address, -dx) || changed;
    if (event.flags & kTopEdge) changed = top.moveAnchorValue(address, dy) || changed;
    if (event.flags & kBottomEdge) changed = bottom.moveAnchorValue(address, -dy) || changed;
    if (changed) event.position = moved;
    return true;
}

}  // namespace Effect
