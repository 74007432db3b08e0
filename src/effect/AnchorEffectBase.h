#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "effect/EffectBase.h"

namespace Anchor {
class AnchorList;
class AnchorItem;
}  // namespace Anchor
namespace Media {
struct ColorRgba;
}

namespace Effect {

class EffectItemNumber;

// Base of the effects that show handles in the preview: the items that make
// up the effect's position, the anchor pass that decides whether the effect
// shows anchors, the routing of anchor events and the trajectory of a moving
// position. Subclasses place the anchors themselves.
class AnchorEffectBase : public EffectBase {
public:
    using ChainEntry = std::shared_ptr<EffectBase>;
    struct Point {
        float x = 0, y = 0, z = 0;
    };
    // Key values of the position items, in item order.
    using KeyValues = std::array<double, 3>;

    // The effect's own position items in order: X and Y, or X, Y and Z.
    std::vector<EffectItemNumber*> positionItems;

    void updateAnchor(Render::RenderContext& context, int32_t width, int32_t height) override;
    bool anchorEvent(const Anchor::AnchorEvent& event) override;

    // Adds this effect's anchors for the context's frame (the object's image size).
    virtual void drawAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t width, int32_t height);
    virtual void moveAnchor(const Anchor::AnchorEvent& event);
    // A point anchor: a small one for filters, an object point for the others.
    virtual Anchor::AnchorItem& addAnchorItem(Anchor::AnchorList& list, const std::shared_ptr<Edit::Object>& object,
                                              const ChainEntry& entry, int32_t id, const Point& point,
                                              const OutputView::Matrix& matrix, uint32_t flags);
    // Throws "not implement.".
    virtual void setCurrentAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t id, uint32_t flags);
    // Throws "not implement.".
    virtual void setSectionAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t keyIndex,
                                  uint32_t flags);
    // The position at the frame in the preview's clip space (x, y, z, w).
    virtual Platform::math::Float4 getAnchorPosition(Render::RenderContext& context, double frame);
    // A passive marker at the point under the matrix.
    virtual void transformAnchor(Anchor::AnchorList& list, const ChainEntry& entry, const Point& point,
                                 const OutputView::Matrix& matrix);

    // The path the position takes over the object, with dots at every fourth sample.
    void drawTrajectory(Render::RenderContext& context, const ChainEntry& entry);

    // Whether some position item holds more than one value.
    bool positionMoves() const;
    // The key values of key k of the object, or false when the key has no
    // anchor: values that do not line up with the keys, or no position
    // item that moves into the segment. An item without values throws.
    bool keyValues(const Edit::Object& object, int32_t key, KeyValues& out) const;
    // The frame of key k: start, start + midpoint k - 1, or the end frame.
    static int32_t keyFrame(const Edit::Object& object, int32_t key);
    // Puts the context at the frame: integer and precise frame, no media
    // offset, the section position.
    static void moveTo(Render::RenderContext& context, double frame);
    static bool isFocused(const Render::RenderContext& context);
    // A colour of the style's [Color] section; false when there is no setting service or no such colour.
    static bool styleColour(const char* key, Media::ColorRgba& colour);
};

}  // namespace Effect
