#include "effect/AnchorItem.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Anchor {

AnchorItem::AnchorItem(int32_t type, uint32_t flags, const Effect::EffectBase* owner,
                       std::shared_ptr<Edit::Object> object, std::shared_ptr<Effect::EffectBase> effect, int32_t id)
    : type(type), object(std::move(object)), effect(std::move(effect)), id(id), flags(flags), owner(owner) {}

void AnchorItem::setPosition(const Platform::math::Matrix& m, float x, float y, float z) {
    matrix = m;
    position = {x, y, z, 1};
    startPosition = position;
}

bool AnchorItem::sameAnchor(const AnchorItem& other) const {
    return object == other.object && effect == other.effect && id == other.id && flags == other.flags;
}

namespace {

constexpr float kThinPolygon = 8;    // pixels from an edge's line that make a polygon thin
constexpr float kSmallestBox = 16;   // pixels a thin polygon's box spans at least
constexpr float kHandleSpacing = 16; // pixels a size handle keeps from its neighbours
constexpr float kAxisKnobScale = 40; // pixels of an axis line

float distance(const AnchorPoint& a, const AnchorPoint& b) { return std::hypot(a.x - b.x, a.y - b.y); }
float squaredDistance(const AnchorPoint& a, float x, float y) {
    const float dx = a.x - x, dy = a.y - y;
    return dx * dx + dy * dy;
}

// Whether the point lies within 1 pixel of a vertex or 8 pixels of the line
// through a vertex and the one before it.
bool nearOutline(const std::vector<AnchorPoint>& polygon, const AnchorPoint& c) {
    const size_t n = polygon.size();
    for (size_t i = 0; i < n; ++i) {
        const AnchorPoint& p = polygon[i];
        const AnchorPoint& q = polygon[(i + n - 1) % n];
        if (squaredDistance(p, c.x, c.y) < 1) return true;
        const float ex = p.x - q.x, ey = p.y - q.y;
        const float length = std::hypot(ex, ey);
        if (length <= 0) continue;
        const float across = std::fabs(ex * (c.y - q.y) - ey * (c.x - q.x)) / length;
        if (across < kThinPolygon) return true;
    }
    return false;
}

}  // namespace

void AnchorItem::widenThinPolygon() {
    const size_t n = screenPoints.size();
    if (n == 0) return;
    size_t longest = 0;
    float longestSquared = -1;
    for (size_t i = 0; i < n; ++i) {
        const AnchorPoint& p = screenPoints[i];
        const float d = squaredDistance(p, screenPoints[(i + n - 1) % n].x, screenPoints[(i + n - 1) % n].y);
        if (d > longestSquared) {
            longestSquared = d;
            longest = i;
        }
    }
    const float half = kSmallestBox / 2;
    if (longestSquared < 1) {
        screenPoints = {{centre.x - half, centre.y - half},
                        {centre.x + half, centre.y - half},
                        {centre.x + half, centre.y + half},
                        {centre.x - half, centre.y + half}};
        return;
    }
    // Axes along the longest edge (u) and across it (v).
    const AnchorPoint& p = screenPoints[longest];
    const AnchorPoint& q = screenPoints[(longest + n - 1) % n];
    const float length = std::sqrt(longestSquared);
    const float ux = (p.x - q.x) / length, uy = (p.y - q.y) / length;
    const float vx = -uy, vy = ux;
    float minU = std::numeric_limits<float>::max(), maxU = std::numeric_limits<float>::lowest();
    float minV = minU, maxV = maxU;
    for (const AnchorPoint& s : screenPoints) {
        const float u = s.x * ux + s.y * uy, v = s.x * vx + s.y * vy;
        minU = std::min(minU, u);
        maxU = std::max(maxU, u);
        minV = std::min(minV, v);
        maxV = std::max(maxV, v);
    }
    const float growU = std::max(0.0f, kSmallestBox - (maxU - minU)) / 2;
    const float growV = std::max(0.0f, kSmallestBox - (maxV - minV)) / 2;
    minU -= growU;
    maxU += growU;
    minV -= growV;
    maxV += growV;
    const auto back = [&](float u, float v) { return AnchorPoint{u * ux + v * vx, u * uy + v * vy}; };
    screenPoints = {back(minU, minV), back(maxU, minV), back(maxU, maxV), back(minU, maxV)};
}

void AnchorItem::layout(float cx, float cy, float hw, float hh) {
    screenPoints.resize(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        screenPoints[i] = {cx + points[i].x * hw, cy - points[i].y * hh};
    centre = {};
    for (const AnchorPoint& s : screenPoints) {
        centre.x += s.x;
        centre.y += s.y;
    }
    if (!screenPoints.empty()) {
        centre.x /= static_cast<float>(screenPoints.size());
        centre.y /= static_cast<float>(screenPoints.size());
    }
    radius = 0;
    if (type == kPolygon) {
        if (nearOutline(screenPoints, centre)) widenThinPolygon();
        for (const AnchorPoint& s : screenPoints) radius = std::max(radius, distance(s, centre));
    } else if (type == kHandle && screenPoints.size() >= 3) {
        AnchorPoint& handle = screenPoints[0];
        for (size_t k = 1; k <= 2; ++k) {
            const AnchorPoint neighbour = screenPoints[k];
            const float d = distance(handle, neighbour);
            if (!(d < kHandleSpacing) || d <= 0) continue;
            const float push = (kHandleSpacing - d) * 0.5f;
            handle.x += (handle.x - neighbour.x) / d * push;
            handle.y += (handle.y - neighbour.y) / d * push;
        }
    } else if (type == kLine && screenPoints.size() >= 3) {
        const AnchorPoint start = screenPoints[0];
        const float unit = distance(start, screenPoints[2]);
        AnchorPoint& end = screenPoints[1];
        end = unit > 0 ? AnchorPoint{start.x + (end.x - start.x) / unit, start.y + (end.y - start.y) / unit} : start;
        const float length = distance(start, end);
        vectorA.x = kAxisKnobScale / length;
    }
}

bool AnchorItem::hitTest(float x, float y) const {
    if (screenPoints.empty()) return false;
    const AnchorPoint& p = screenPoints[0];
    switch (type) {
    case kIcon: {
        if (screenPoints.size() < 2) return false;
        const AnchorPoint& q = screenPoints[1];
        return std::min(p.x, q.x) <= x && x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= y &&
               y <= std::max(p.y, q.y);
    }
    case kLine: return screenPoints.size() >= 2 && squaredDistance(screenPoints[1], x, y) <= 25;
    case kHandle: return std::fabs(x - p.x) <= 6 && std::fabs(y - p.y) <= 6;
    case kPoint: return squaredDistance(p, x, y) <= 400;
    case kSmallPoint: return squaredDistance(p, x, y) <= 100;
    case kObjectPoint: return squaredDistance(p, x, y) <= 1296;
    case kPolygon: {
        // Winding number: upward crossings right of the point count +1, downward -1.
        int32_t winding = 0;
        const size_t n = screenPoints.size();
        for (size_t i = 0; i < n; ++i) {
            const AnchorPoint& a = screenPoints[(i + n - 1) % n];
            const AnchorPoint& b = screenPoints[i];
            const float side = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
            if (a.y <= y) {
                if (b.y > y && side > 0) ++winding;
            } else if (b.y <= y && side < 0) {
                --winding;
            }
        }
        return winding != 0;
    }
    default: return false;
    }
}

}  // namespace Anchor
