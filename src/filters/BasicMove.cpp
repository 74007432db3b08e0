#include "filters/BasicMove.h"

#include <algorithm>
#include <cmath>

#include "effect/AnchorList.h"
#include "effect/ModelQueries.h"
#include "effect/MoveXYAnchorEffect.h"
#include "effect/MovementBase.h"
#include "effect/RenderContext.h"

namespace Effect {
namespace {

// The output's view of the object, placed by its position alone, moved by the offsets.
OutputView movedView(Render::RenderContext& context, float dx, float dy, float dz) {
    OutputView view = context.getOutputView();
    view.centerX = view.centerY = view.centerZ = 0;
    view.x += dx;
    view.y += dy;
    view.z += dz;
    return view;
}

}  // namespace

BasicMove::BasicMove() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
    positionItems = {&x, &y, &z};
}

std::shared_ptr<Media::ResourceBuffer> BasicMove::filterVideo(Render::RenderContext& context,
                                                              std::shared_ptr<Media::ResourceBuffer> image) {
    const float dx = static_cast<float>(x.getValue(context));
    const float dy = static_cast<float>(y.getValue(context));
    const float dz = static_cast<float>(z.getValue(context));
    context.view.x += dx;
    context.view.y += dy;
    context.view.z += dz;
    return image;
}

bool BasicMove::moves() const { return x.values.size() >= 2 || y.values.size() >= 2 || z.values.size() >= 2; }

bool BasicMove::focused(const Render::RenderContext& context) const {
    return context.scene && context.object && modelQueries().isFocusObject(*context.scene, *context.object);
}

std::optional<int32_t> BasicMove::keyValueIndex(size_t valueCount, int32_t key, int32_t midpoints) {
    if (valueCount < 2 || key <= 0) return 0;
    if (key > midpoints) return static_cast<int32_t>(valueCount) - 1;
    if (valueCount == static_cast<size_t>(midpoints) + 2) return key;
    return std::nullopt;
}

void BasicMove::drawAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t, int32_t) {
    // The anchors of the effects after this one see the position without this move.
    context.view.x -= static_cast<float>(x.getValue(context));
    context.view.y -= static_cast<float>(y.getValue(context));
    context.view.z -= static_cast<float>(z.getValue(context));
    setCurrentAnchor(context, entry, kAllKeys, 0);
    if (!context.object || !focused(context) || !moves()) return;
    const int32_t sections = static_cast<int32_t>(modelQueries().objectMidpoints(*context.object).size()) + 1;
    for (int32_t key = 0; key <= sections; ++key) setSectionAnchor(context, entry, key, kKeyAnchor);
    drawTrajectory(context, entry);
}

void BasicMove::setCurrentAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t id, uint32_t flags) {
    if (!context.anchorList || !context.object) return;
    const OutputView view = movedView(context, static_cast<float>(x.getValue(context)),
                                      static_cast<float>(y.getValue(context)), static_cast<float>(z.getValue(context)));
    const bool focus = focused(context), moving = moves();
    if (!focus || moving) flags |= kHiddenAnchor;
    const Point origin{};
    // A drag moves the position in the space the output places it in.
    addAnchorItem(*context.anchorList, context.object, entry, id, origin, view.getWorldViewMatrix(), flags)
        .setPosition(view.getGroupViewMatrix(), view.x, view.y, view.z);
    if (focus && !moving) transformAnchor(*context.anchorList, entry, origin, view.getGroupViewMatrix());
}

void BasicMove::setSectionAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t keyIndex,
                                 uint32_t flags) {
    if (!context.anchorList || !context.object) return;
    const ModelQueries& model = modelQueries();
    const std::vector<int32_t>& midpoints = model.objectMidpoints(*context.object);
    const int32_t m = static_cast<int32_t>(midpoints.size());
    const EffectItemNumber* members[3] = {&x, &y, &z};
    size_t largest = 0;
    for (const EffectItemNumber* item : members) largest = std::max(largest, item->values.size());
    // A key among the midpoints whose values do not line up with the keys has no anchor.
    if (keyIndex >= 1 && keyIndex <= m && largest >= 2 && largest != static_cast<size_t>(m) + 2) return;
    int32_t index[3];
    bool reached = false;
    for (int i = 0; i < 3; ++i) {
        const std::optional<int32_t> found = keyValueIndex(members[i]->values.size(), keyIndex, m);
        if (!found) return;
        index[i] = *found;
        reached = reached || members[i]->movement->isSegmentInterpolated(*members[i], keyIndex);
    }
    if (!reached) return;

    const int32_t start = model.objectStart(*context.object);
    const int32_t frame = keyIndex == 0   ? start
                          : keyIndex <= m ? start + midpoints[static_cast<size_t>(keyIndex - 1)]
                                          : model.objectEnd(*context.object);
    moveTo(context, frame);
    const OutputView view =
        movedView(context, static_cast<float>(x.keyValue(index[0])), static_cast<float>(y.keyValue(index[1])),
                  static_cast<float>(z.keyValue(index[2])));
    addAnchorItem(*context.anchorList, context.object, entry, keyIndex, Point{}, view.getWorldViewMatrix(), flags)
        .setPosition(view.getGroupViewMatrix(), view.x, view.y, view.z);
}

void BasicMove::moveAnchor(const Anchor::AnchorEvent& event) {
    MoveXYAnchorEffect::dragPosition(event, positionItems, 3);
}

Platform::math::Float4 BasicMove::getAnchorPosition(Render::RenderContext& context, double frame) {
    moveTo(context, frame);
    const OutputView view =
        movedView(context, static_cast<float>(x.getValueAt(context, frame)),
                  static_cast<float>(y.getValueAt(context, frame)), static_cast<float>(z.getValueAt(context, frame)));
    return Platform::math::transform({0, 0, 0, 1}, view.getWorldViewMatrix());
}

}  // namespace Effect
