#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/math/Matrix.h"

namespace Edit {
class Object;
}
namespace Effect {
class EffectBase;
}

namespace Anchor {

// A point in normalised frame coordinates (x right, y up, -1 .. +1 across
// the frame), or in pixels where the field says so.
struct AnchorPoint {
    float x = 0, y = 0;
};

// One on-screen handle of the preview, as an effect's anchor pass described it.
class AnchorItem {
public:
    enum Type : int32_t {
        kIcon = 1,
        kMarker = 2,
        kColourMarker = 3,
        kLine = 4,
        kHandle = 5,
        kPoint = 6,
        kSmallPoint = 7,
        kObjectPoint = 8,
        kPolygon = 9,
        kColourPolyline = 10,
        kPolyline = 11,
        kDot = 12,
        kView = 13,
    };
    enum Flag : uint32_t {
        kAxisX = 0x4,
        kAxisY = 0x8,
        kAxisZ = 0x10,
        kProjected = 0x8000,
        kObjectAnchor = 0x10000,
        kPinned = 0x20000,
        kClickOnly = 0x40000,
        kKeyAnchor = 0x80000,
        kAxisHandle = 0x100000,
        kSizeHandle = 0x200000,
        kSourceSize = 0x400000,
        kSnapping = 0x2000000,
        kSnapTargets = 0x4000000,
        kNeverDrawn = 0x8000000,
        kNeverHit = 0x10000000,
        kNotDrawn = 0x20000000,
        kRawOffset = 0x40000000,
    };
    // Anchor ids besides key indexes.
    static constexpr int32_t kCurrentValue = 100000000;
    static constexpr int32_t kClippingViewIcon = 200000000;
    static constexpr int32_t kViewModeIcon = 200000001;

    using Float4 = Platform::math::Float4;

    int32_t type = 0;
    std::shared_ptr<Edit::Object> object;        // empty for polylines, markers and dots
    std::shared_ptr<Effect::EffectBase> effect;  // receives the events; empty as above
    int32_t id = 0;
    uint32_t flags = 0;
    const Effect::EffectBase* owner = nullptr;  // the effect that made it, also where the pointers are empty
    float colour[4] = {};
    const void* bitmap = nullptr;  // the icon's picture, kept by the window side; not owning
    std::vector<AnchorPoint> points;
    std::vector<AnchorPoint> snapPoints;
    Platform::math::Matrix matrix;
    Float4 position;
    Float4 startPosition;
    Float4 vectorA;
    Float4 vectorB;
    Float4 referencePoint;
    std::string label;
    uint64_t tag = 0;
    // Filled by the preview's layout.
    std::vector<AnchorPoint> screenPoints;
    AnchorPoint centre;
    float radius = 0;

    AnchorItem() = default;
    AnchorItem(int32_t type, uint32_t flags, const Effect::EffectBase* owner, std::shared_ptr<Edit::Object> object,
               std::shared_ptr<Effect::EffectBase> effect, int32_t id);

    // Stores the matrix and the model position (w = 1) as both the current
    // and the starting position.
    void setPosition(const Platform::math::Matrix& m, float x, float y, float z);
    // The same anchor in another frame's list: same object, effect, id and flags.
    bool sameAnchor(const AnchorItem& other) const;

    // Maps the normalised points onto the pixels of a frame centred at
    // (cx, cy) with half sizes hw, hh: fills the screen points, the centre
    // and, for a polygon, the radius. Thin polygons become a 16-pixel box,
    // size handles closer than 16 pixels to a neighbour move apart, and an
    // axis line is cut to one model unit's length with its pixel scale in
    // vectorA.x.
    void layout(float cx, float cy, float hw, float hh);
    // Whether the pixel (x, y) of the canvas picks the laid-out item.
    bool hitTest(float x, float y) const;
    // Replaces the screen polygon by a box at least 16 pixels across along
    // its longest edge.
    void widenThinPolygon();
};

}  // namespace Anchor
