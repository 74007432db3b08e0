// Laying an anchor out on the frame's pixels and hitting it: normalised points
// to pixels, thin outlines widened so they stay clickable, size handles kept
// apart, axis lines cut to their knob length, and the hit shapes of each type.
#include <gtest/gtest.h>

#include <cmath>

#include "effect/AnchorItem.h"

namespace {

using Anchor::AnchorItem;
using Anchor::AnchorPoint;

AnchorItem itemOf(int32_t type, std::vector<AnchorPoint> points) {
    AnchorItem item(type, 0, nullptr, nullptr, nullptr, 0);
    item.points = std::move(points);
    return item;
}

// A frame of 400 x 200 pixels centred at (300, 150).
constexpr float kCx = 300, kCy = 150, kHw = 200, kHh = 100;

TEST(AnchorLayout, PointsMapOntoTheFrameWithYUpwards) {
    const struct {
        float x, y, px, py;
    } cases[] = {{0, 0, 300, 150}, {1, 1, 500, 50}, {-1, -1, 100, 250}, {0.5f, -0.25f, 400, 175}, {2, 0, 700, 150}};
    for (const auto& c : cases) {
        AnchorItem item = itemOf(AnchorItem::kPoint, {{c.x, c.y}});
        item.layout(kCx, kCy, kHw, kHh);
        EXPECT_FLOAT_EQ(c.px, item.screenPoints[0].x) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(c.py, item.screenPoints[0].y) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(c.px, item.centre.x);
        EXPECT_FLOAT_EQ(0, item.radius) << "only polygons have a radius";
    }
}

TEST(AnchorLayout, OutlinesSeenEdgeOnBecomeBoxesAtLeastSixteenAcross) {
    const struct {
        const char* what;
        std::vector<AnchorPoint> points;
        float minWidth, minHeight;  // of the laid-out bounds
        bool widened;
    } cases[] = {
        {"a broad rectangle stays", {{-0.5f, 0.5f}, {-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}}, 200, 100, false},
        {"a sliver 2 pixels high", {{-0.5f, 0.01f}, {-0.5f, -0.01f}, {0.5f, -0.01f}, {0.5f, 0.01f}}, 200, 16, true},
        {"a rectangle collapsed to a point", {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, 16, 16, true},
        {"a thin diagonal", {{0, 0}, {0.5f, 0.5f}, {0.51f, 0.5f}, {0.01f, 0}}, 100, 50, true},
    };
    for (const auto& c : cases) {
        AnchorItem item = itemOf(AnchorItem::kPolygon, c.points);
        item.layout(kCx, kCy, kHw, kHh);
        float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
        for (const AnchorPoint& p : item.screenPoints) {
            left = std::min(left, p.x), right = std::max(right, p.x);
            top = std::min(top, p.y), bottom = std::max(bottom, p.y);
        }
        EXPECT_EQ(4u, item.screenPoints.size()) << c.what;
        EXPECT_GE(right - left + 1e-3f, c.minWidth) << c.what;
        EXPECT_GE(bottom - top + 1e-3f, c.minHeight) << c.what;
        EXPECT_TRUE(item.hitTest(item.centre.x, item.centre.y)) << c.what << ": its centre picks it";
        EXPECT_GT(item.radius, 0) << c.what;
        if (!c.widened) EXPECT_FLOAT_EQ(200, item.screenPoints[0].x) << c.what;
    }
}

TEST(AnchorLayout, SizeHandlesOfATinyRectangleMoveApart) {
    // The handle 4 pixels from one neighbour and 100 from the other.
    AnchorItem item = itemOf(AnchorItem::kHandle, {{0, 0}, {0.02f, 0}, {0, 1}});
    item.layout(kCx, kCy, kHw, kHh);
    EXPECT_FLOAT_EQ(300 - 6, item.screenPoints[0].x) << "pushed away by half of the 12 pixels missing";
    EXPECT_FLOAT_EQ(150, item.screenPoints[0].y);
    AnchorItem apart = itemOf(AnchorItem::kHandle, {{0, 0}, {0.5f, 0}, {0, 0.5f}});
    apart.layout(kCx, kCy, kHw, kHh);
    EXPECT_FLOAT_EQ(300, apart.screenPoints[0].x) << "far enough: stays";
    AnchorItem same = itemOf(AnchorItem::kHandle, {{0, 0}, {0, 0}, {0, 0.5f}});
    same.layout(kCx, kCy, kHw, kHh);
    EXPECT_FLOAT_EQ(300, same.screenPoints[0].x) << "a neighbour on it gives no direction";
}

TEST(AnchorLayout, AxisLineEndsOneModelUnitAwayScaledAndItsKnobIsHit) {
    // Start at the centre, the end 40 units along x where one unit is 0.005 across.
    AnchorItem item = itemOf(AnchorItem::kLine, {{0, 0}, {0.2f, 0}, {0.005f, 0}});
    item.layout(kCx, kCy, kHw, kHh);
    EXPECT_FLOAT_EQ(340, item.screenPoints[1].x);
    EXPECT_FLOAT_EQ(1, item.vectorA.x) << "40 pixels for 40 units";
    EXPECT_TRUE(item.hitTest(343, 154));
    EXPECT_FALSE(item.hitTest(345, 154));
    AnchorItem flat = itemOf(AnchorItem::kLine, {{0, 0}, {0.2f, 0}, {0, 0}});
    flat.layout(kCx, kCy, kHw, kHh);
    EXPECT_FLOAT_EQ(300, flat.screenPoints[1].x) << "no unit length: the end stays at the start";
}

TEST(AnchorLayout, HitShapesOfEachType) {
    const struct {
        const char* what;
        int32_t type;
        float dx, dy;
        bool hit;
    } cases[] = {
        {"object point inside 36", AnchorItem::kObjectPoint, 36, 0, true},
        {"object point outside", AnchorItem::kObjectPoint, 26, 26, false},
        {"point inside 20", AnchorItem::kPoint, 12, 16, true},
        {"point outside", AnchorItem::kPoint, 15, 14, false},
        {"small point inside 10", AnchorItem::kSmallPoint, 6, 8, true},
        {"small point outside", AnchorItem::kSmallPoint, 8, 7, false},
        {"handle square", AnchorItem::kHandle, 6, -6, true},
        {"handle outside", AnchorItem::kHandle, 6.5f, 0, false},
        {"marker never", AnchorItem::kMarker, 0, 0, false},
        {"dot never", AnchorItem::kDot, 0, 0, false},
        {"view anchor never", AnchorItem::kView, 0, 0, false},
    };
    for (const auto& c : cases) {
        AnchorItem item = itemOf(c.type, {{0, 0}, {0.5f, 0}, {0, 0.5f}});
        item.layout(kCx, kCy, kHw, kHh);
        EXPECT_EQ(c.hit, item.hitTest(item.screenPoints[0].x + c.dx, item.screenPoints[0].y + c.dy)) << c.what;
    }
    // A concave outline: the notch is outside.
    AnchorItem shape = itemOf(AnchorItem::kPolygon,
                              {{-0.5f, 0.5f}, {-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}, {0, 0.2f}});
    shape.layout(kCx, kCy, kHw, kHh);
    EXPECT_TRUE(shape.hitTest(300, 180)) << "below the notch";
    EXPECT_FALSE(shape.hitTest(300, 110)) << "in the notch";
    EXPECT_FALSE(shape.hitTest(520, 150)) << "beside the frame";
}

}  // namespace
