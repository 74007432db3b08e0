#pragma once
#include <cstdint>

#include "effect/AnchorEffectBase.h"

namespace Effect {

// Base of the filters whose centre the user drags: the anchor marks the
// effect's own X and Y on the object, and while the object is focused and
// the centre moves, each key and the path between them.
class MoveXYAnchorEffect : public AnchorEffectBase {
public:
    void drawAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t width, int32_t height) override;
    void moveAnchor(const Anchor::AnchorEvent& event) override;
    void setCurrentAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t id, uint32_t flags) override;
    void setSectionAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t keyIndex,
                          uint32_t flags) override;
    Platform::math::Float4 getAnchorPosition(Render::RenderContext& context, double frame) override;

    // The object's view at the context's frame, placed by its position alone.
    static OutputView::Matrix anchorMatrix(Render::RenderContext& context);
    // Moves the position items by the drag: the first `axes` of x, y, z.
    static void dragPosition(const Anchor::AnchorEvent& event, const std::vector<EffectItemNumber*>& items,
                             size_t axes);
};

}  // namespace Effect
