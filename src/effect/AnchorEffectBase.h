#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "effect/EffectBase.h"

namespace Anchor {
class AnchorList;
class AnchorItem;
}  // namespace Anchor

namespace Effect {

class EffectItemNumber;

// Base of the effects that show handles in the preview: the items that make
// up the effect's position and the operations that add, move and place its
// anchors. The anchor pass and the event routing that use them come with the
// preview's anchors; until then the operations add nothing.
class AnchorEffectBase : public EffectBase {
public:
    using ChainEntry = std::shared_ptr<EffectBase>;
    struct Point {
        float x = 0, y = 0, z = 0;
    };

    // The effect's own position items in order: X and Y, or X, Y and Z.
    std::vector<EffectItemNumber*> positionItems;

    // Adds this effect's anchors for the context's frame (the object's image size).
    virtual void drawAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t width, int32_t height);
    virtual void moveAnchor(const Anchor::AnchorEvent& event);
    virtual Anchor::AnchorItem* addAnchorItem(Anchor::AnchorList& list, const std::shared_ptr<Edit::Object>& object,
                                              const ChainEntry& entry, int32_t id, const Point& point,
                                              const OutputView::Matrix& matrix, uint32_t flags);
    // Throws "not implement.".
    virtual void setCurrentAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t id,
                                  uint32_t flags);
    // Throws "not implement.".
    virtual void setSectionAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t keyIndex,
                                  uint32_t flags);
    // The position at the frame in the preview's clip space (x, y, z, w).
    virtual Platform::math::Float4 getAnchorPosition(Render::RenderContext& context, double frame);
    virtual void transformAnchor(Anchor::AnchorList& list, const ChainEntry& entry, const Point& point,
                                 const OutputView::Matrix& matrix);
};

}  // namespace Effect
