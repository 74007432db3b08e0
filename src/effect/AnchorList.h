#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "effect/AnchorItem.h"

namespace Media {
struct ColorRgba;
}

namespace Anchor {

// The handles one preview render produces, in the order the effects added
// them. Filled on the render thread by one walk at a time; handed over by
// swapping whole lists. The builders never fail: a point behind the viewer
// (W / Z - 1 <= 0) is left out, and a builder that returns an item then
// returns a blank item that belongs to no list, so callers may write into
// the result without checking.
class AnchorList {
public:
    using Object = std::shared_ptr<Edit::Object>;
    using Effect = std::shared_ptr<Effect::EffectBase>;
    using Float4 = Platform::math::Float4;
    using Matrix = Platform::math::Matrix;

    std::vector<AnchorItem> items;

    // Destroys every item; the storage stays.
    void clear() { items.clear(); }
    size_t size() const { return items.size(); }
    bool empty() const { return items.empty(); }
    void swap(AnchorList& other) noexcept { items.swap(other.items); }

    // Point anchors at a model position projected by the matrix: 36, 20 and 10 pixels across.
    AnchorItem& addObjectPoint(const Object& object, const Effect& effect, int32_t id, float x, float y, float z,
                               const Matrix& matrix, uint32_t flags);
    AnchorItem& addPoint(const Object& object, const Effect& effect, int32_t id, float x, float y, float z,
                         const Matrix& matrix, uint32_t flags);
    AnchorItem& addSmallPoint(const Object& object, const Effect& effect, int32_t id, float x, float y, float z,
                              const Matrix& matrix, uint32_t flags);
    // The outline of a width x height rectangle centred on the origin, clipped at the front plane.
    AnchorItem& addRectangle(const Object& object, const Effect& effect, int32_t id, int32_t width, int32_t height,
                             const Matrix& matrix, uint32_t flags);
    // An axis line between two transformed points.
    void addLine(const Float4& start, const Float4& end, const Object& object, const Effect& effect, int32_t id,
                 float x, float y, float z, const Matrix& matrix, uint32_t flags);
    // One size handle between its two neighbours (transformed points).
    void addHandle(const Float4& handle, const Float4& first, const Float4& second, const Object& object,
                   const Effect& effect, int32_t id, const Float4& r, const Float4& a, float x, float y, float z,
                   const Float4& b, const Matrix& matrix, uint32_t flags);
    // The four corner handles of a width x height rectangle: drawn where p
    // puts the corners, referring to where q puts them.
    void addRectangleHandles(const Object& object, const Effect& effect, int32_t id, int32_t width, int32_t height,
                             float x, float y, float z, const Float4& b, const Matrix& q, const Matrix& p,
                             const Matrix& itemMatrix, uint32_t flags);
    // Every run of two or more points in front becomes one polyline.
    void addPolyline(const ::Effect::EffectBase* owner, const Float4* points, size_t count,
                     const Media::ColorRgba* colour);
    void addMarker(const ::Effect::EffectBase* owner, const Float4& point, const Media::ColorRgba* colour);
    void addDot(const ::Effect::EffectBase* owner, const Float4& point);
    // A 32 x 32 button pinned to the frame's top-right corner.
    AnchorItem& addIcon(const Object& object, const Effect& effect, int32_t id, const void* bitmap);

    // Whether a transformed point lies in front of the viewer.
    static bool inFront(const Float4& p);
    // The item builders hand out when they add nothing (this thread's own).
    static AnchorItem& blankItem();

    // The item with the same object, effect, id and flags, or none.
    const AnchorItem* find(const AnchorItem& like) const;

private:
    AnchorItem& addProjected(int32_t type, const Object& object, const Effect& effect, int32_t id, float x, float y,
                             float z, const Matrix& matrix, uint32_t flags);
};

// Where the preview shows the frame: its pixel rectangle on the canvas.
struct Viewport {
    float x = 0, y = 0, width = 0, height = 0;
};

// The model position that projects dx, dy pixels away from p under m.
Platform::math::Float4 getMovedPosition(const Viewport& viewport, const Platform::math::Float4& p,
                                        const Platform::math::Matrix& m, float dx, float dy);

}  // namespace Anchor
