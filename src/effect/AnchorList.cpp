#include "effect/AnchorList.h"

#include <algorithm>
#include <cmath>

#include "core/Color.h"

namespace Anchor {

using Platform::math::Float4;
using Platform::math::Matrix;

namespace {

AnchorPoint divided(const Float4& p) { return {p.x / p.w, p.y / p.w}; }

float frontDistance(const Float4& p) { return p.w / p.z - 1.0f; }

// Whether two points in front land on the same spot of the frame. Points
// at different depths with equal X and Y land apart.
bool sameSpot(const Float4& p, const Float4& q) { return p.x / p.w == q.x / q.w && p.y / p.w == q.y / q.w; }

Float4 lerpTowards(const Float4& p, const Float4& q, float t) {
    return {p.x - (p.x - q.x) * t, p.y - (p.y - q.y) * t, p.z - (p.z - q.z) * t, p.w - (p.w - q.w) * t};
}

void setColour(AnchorItem& item, const Media::ColorRgba& colour) {
    item.colour[0] = colour.r;
    item.colour[1] = colour.g;
    item.colour[2] = colour.b;
    item.colour[3] = colour.a;
}

}  // namespace

bool AnchorList::inFront(const Float4& p) {
    // A comparison with NaN counts as in front.
    return !(frontDistance(p) <= 0.0f);
}

AnchorItem& AnchorList::blankItem() {
    thread_local AnchorItem blank;
    return blank;
}

const AnchorItem* AnchorList::find(const AnchorItem& like) const {
    for (const AnchorItem& item : items)
        if (item.sameAnchor(like)) return &item;
    return nullptr;
}

AnchorItem& AnchorList::addProjected(int32_t type, const Object& object, const Effect& effect, int32_t id, float x,
                                     float y, float z, const Matrix& matrix, uint32_t flags) {
    const Float4 p = Platform::math::transform({x, y, z, 1}, matrix);
    if (!inFront(p)) return blankItem();
    AnchorItem& item = items.emplace_back(type, flags | AnchorItem::kProjected, effect.get(), object, effect, id);
    item.points.push_back(divided(p));
    return item;
}

AnchorItem& AnchorList::addObjectPoint(const Object& object, const Effect& effect, int32_t id, float x, float y,
                                       float z, const Matrix& matrix, uint32_t flags) {
    return addProjected(AnchorItem::kObjectPoint, object, effect, id, x, y, z, matrix, flags);
}

AnchorItem& AnchorList::addPoint(const Object& object, const Effect& effect, int32_t id, float x, float y, float z,
                                 const Matrix& matrix, uint32_t flags) {
    return addProjected(AnchorItem::kPoint, object, effect, id, x, y, z, matrix, flags);
}

AnchorItem& AnchorList::addSmallPoint(const Object& object, const Effect& effect, int32_t id, float x, float y, float z,
                                      const Matrix& matrix, uint32_t flags) {
    return addProjected(AnchorItem::kSmallPoint, object, effect, id, x, y, z, matrix, flags);
}

AnchorItem& AnchorList::addRectangle(const Object& object, const Effect& effect, int32_t id, int32_t width,
                                     int32_t height, const Matrix& matrix, uint32_t flags) {
    const float w = static_cast<float>(width) / 2, h = static_cast<float>(height) / 2;
    const Float4 corners[4] = {Platform::math::transform({-w, h, 0, 1}, matrix),
                               Platform::math::transform({-w, -h, 0, 1}, matrix),
                               Platform::math::transform({w, -h, 0, 1}, matrix),
                               Platform::math::transform({w, h, 0, 1}, matrix)};
    std::vector<Float4> clipped;
    clipped.reserve(8);
    for (int i = 0; i < 4; ++i) {
        const Float4& p = corners[i];
        const Float4& q = corners[(i + 1) % 4];
        const float dp = frontDistance(p), dq = frontDistance(q);
        const bool pFront = inFront(p), qFront = inFront(q);
        if (pFront) clipped.push_back(p);
        if (pFront != qFront) clipped.push_back(lerpTowards(p, q, dp / (dp - dq)));
    }
    if (clipped.size() < 3) return blankItem();
    AnchorItem& item =
        items.emplace_back(AnchorItem::kPolygon, flags | AnchorItem::kProjected, effect.get(), object, effect, id);
    item.points.reserve(clipped.size());
    for (const Float4& p : clipped) item.points.push_back(divided(p));
    if (flags & (AnchorItem::kSnapping | AnchorItem::kSnapTargets)) {
        item.snapPoints.reserve(4);
        const float centreZ = Platform::math::transform({0, 0, 0, 1}, matrix).z;
        for (const Float4& c : corners)
            if (c.z == centreZ) item.snapPoints.push_back(divided(c));
    }
    return item;
}

void AnchorList::addLine(const Float4& start, const Float4& end, const Object& object, const Effect& effect, int32_t id,
                         float x, float y, float z, const Matrix& matrix, uint32_t flags) {
    if (!inFront(start) || !inFront(end)) return;
    if (sameSpot(start, end)) return;
    AnchorItem& item = items.emplace_back(AnchorItem::kLine, flags, effect.get(), object, effect, id);
    const AnchorPoint s = divided(start);
    item.points = {s, divided(end), {s.x + 1.0f / start.w, s.y}};
    item.setPosition(matrix, x, y, z);
}

void AnchorList::addHandle(const Float4& handle, const Float4& first, const Float4& second, const Object& object,
                           const Effect& effect, int32_t id, const Float4& r, const Float4& a, float x, float y,
                           float z, const Float4& b, const Matrix& matrix, uint32_t flags) {
    if (!inFront(handle) || !inFront(first) || !inFront(second)) return;
    if (sameSpot(handle, first) || sameSpot(handle, second)) return;
    AnchorItem& item = items.emplace_back(AnchorItem::kHandle, flags, effect.get(), object, effect, id);
    item.points = {divided(handle), divided(first), divided(second)};
    item.matrix = matrix;
    item.position = r;
    item.startPosition = r;
    item.vectorA = a;
    item.vectorB = b;
    item.referencePoint = {x, y, z, 1};
}

void AnchorList::addRectangleHandles(const Object& object, const Effect& effect, int32_t id, int32_t width,
                                     int32_t height, float x, float y, float z, const Float4& b, const Matrix& q,
                                     const Matrix& p, const Matrix& itemMatrix, uint32_t flags) {
    const float w = static_cast<float>(width) / 2, h = static_cast<float>(height) / 2;
    const Float4 corners[4] = {{-w, -h, 0, 1}, {w, -h, 0, 1}, {w, h, 0, 1}, {-w, h, 0, 1}};
    Float4 screen[4], reference[4];
    for (int i = 0; i < 4; ++i) {
        screen[i] = Platform::math::transform(corners[i], p);
        reference[i] = Platform::math::transform(corners[i], q);
    }
    static constexpr uint32_t kCornerFlags[4] = {0x2080a0, 0x2080c0, 0x208120, 0x208140};
    for (int i = 0; i < 4; ++i)
        addHandle(screen[i], screen[(i + 3) % 4], screen[(i + 1) % 4], object, effect, id, reference[i],
                  reference[(i + 2) % 4], x, y, z, b, itemMatrix, flags | kCornerFlags[i]);
}

void AnchorList::addPolyline(const ::Effect::EffectBase* owner, const Float4* points, size_t count,
                             const Media::ColorRgba* colour) {
    size_t run = 0;
    const auto flush = [&](size_t end) {
        if (end - run >= 2) {
            AnchorItem& item = items.emplace_back(colour ? AnchorItem::kColourPolyline : AnchorItem::kPolyline, 0,
                                                  owner, nullptr, nullptr, 0);
            if (colour) setColour(item, *colour);
            item.points.reserve(end - run);
            for (size_t i = run; i < end; ++i) item.points.push_back(divided(points[i]));
        }
    };
    for (size_t i = 0; i < count; ++i) {
        if (inFront(points[i])) continue;
        flush(i);
        run = i + 1;
    }
    flush(count);
}

void AnchorList::addMarker(const ::Effect::EffectBase* owner, const Float4& point, const Media::ColorRgba* colour) {
    if (!inFront(point)) return;
    AnchorItem& item =
        items.emplace_back(colour ? AnchorItem::kColourMarker : AnchorItem::kMarker, 0, owner, nullptr, nullptr, 0);
    if (colour) setColour(item, *colour);
    item.points.push_back(divided(point));
}

void AnchorList::addDot(const ::Effect::EffectBase* owner, const Float4& point) {
    if (!inFront(point)) return;
    items.emplace_back(AnchorItem::kDot, 0, owner, nullptr, nullptr, 0).points.push_back(divided(point));
}

AnchorItem& AnchorList::addIcon(const Object& object, const Effect& effect, int32_t id, const void* bitmap) {
    AnchorItem& item =
        items.emplace_back(AnchorItem::kIcon, AnchorItem::kProjected | AnchorItem::kPinned | AnchorItem::kClickOnly,
                           effect.get(), object, effect, id);
    item.bitmap = bitmap;
    item.points = {{0, 0}, {32, 32}};
    return item;
}

Float4 getMovedPosition(const Viewport& viewport, const Float4& p, const Matrix& m, float dx, float dy) {
    Float4 q = Platform::math::transform(p, m);
    const float r = std::max(std::fabs(q.w), 1.0f);
    q.x += dx * 2 * r / std::max(1.0f, viewport.width);
    q.y -= dy * 2 * r / std::max(1.0f, viewport.height);
    return Platform::math::transform(q, Platform::math::inverse(m));
}

}  // namespace Anchor
