#include "effect/MoveXYAnchorEffect.h"

#include "effect/AnchorEvent.h"
#include "effect/AnchorList.h"
#include "effect/EffectItemNumber.h"
#include "effect/ModelQueries.h"
#include "effect/RenderContext.h"

namespace Effect {

using Anchor::AnchorItem;

OutputView::Matrix MoveXYAnchorEffect::anchorMatrix(Render::RenderContext& context) {
    OutputView view = context.getOutputView();
    view.centerX = view.centerY = view.centerZ = 0;
    return view.getWorldViewMatrix();
}

void MoveXYAnchorEffect::dragPosition(const Anchor::AnchorEvent& event, const std::vector<EffectItemNumber*>& items,
                                      size_t axes) {
    const Platform::math::Float4 moved =
        Anchor::getMovedPosition(event.viewport, event.position, event.matrix, static_cast<float>(event.stepX),
                                 static_cast<float>(event.stepY));
    const double delta[3] = {moved.x - event.position.x, moved.y - event.position.y, moved.z - event.position.z};
    event.position.x = moved.x;
    event.position.y = moved.y;
    if (axes >= 3) event.position.z = moved.z;
    const EffectItemNumber::AnchorAddress address{event.object.get(), event.id};
    for (size_t i = 0; i < axes && i < items.size(); ++i) (void)items[i]->moveAnchorValue(address, delta[i]);
}

void MoveXYAnchorEffect::drawAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t, int32_t) {
    setCurrentAnchor(context, entry, AnchorItem::kCurrentValue, 0);
    if (!context.object || !isFocused(context) || !positionMoves()) return;
    const int32_t sections = static_cast<int32_t>(modelQueries().objectMidpoints(*context.object).size()) + 1;
    for (int32_t key = 0; key <= sections; ++key) setSectionAnchor(context, entry, key, AnchorItem::kKeyAnchor);
    drawTrajectory(context, entry);
}

void MoveXYAnchorEffect::moveAnchor(const Anchor::AnchorEvent& event) { dragPosition(event, positionItems, 2); }

void MoveXYAnchorEffect::setCurrentAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t id,
                                          uint32_t flags) {
    if (!context.anchorList || positionItems.size() < 2) return;
    const Point point{static_cast<float>(positionItems[0]->getValue(context)),
                      static_cast<float>(positionItems[1]->getValue(context)), 0};
    const bool focused = isFocused(context), moves = positionMoves();
    if (!focused || moves) flags |= AnchorItem::kNotDrawn;
    if (role != kFilter) flags |= AnchorItem::kObjectAnchor;
    const OutputView::Matrix m = anchorMatrix(context);
    addAnchorItem(*context.anchorList, context.object, entry, id, point, m, flags).setPosition(m, point.x, point.y, 0);
    if (focused && moves) transformAnchor(*context.anchorList, entry, point, m);
}

void MoveXYAnchorEffect::setSectionAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t keyIndex,
                                          uint32_t flags) {
    if (!context.anchorList || !context.object || positionItems.size() < 2) return;
    KeyValues values{};
    if (!keyValues(*context.object, keyIndex, values)) return;
    moveTo(context, keyFrame(*context.object, keyIndex));
    const Point point{static_cast<float>(values[0]), static_cast<float>(values[1]), 0};
    const OutputView::Matrix m = anchorMatrix(context);
    addAnchorItem(*context.anchorList, context.object, entry, keyIndex, point, m, flags)
        .setPosition(m, point.x, point.y, 0);
}

Platform::math::Float4 MoveXYAnchorEffect::getAnchorPosition(Render::RenderContext& context, double frame) {
    moveTo(context, frame);
    if (positionItems.size() < 2) return {};
    const Platform::math::Float4 p{static_cast<float>(positionItems[0]->getValueAt(context, frame)),
                                   static_cast<float>(positionItems[1]->getValueAt(context, frame)), 0, 1};
    return Platform::math::transform(p, anchorMatrix(context));
}

}  // namespace Effect
