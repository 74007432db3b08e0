#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "core/Color.h"
#include "edit/Object.h"
#include "effect/AnchorList.h"
#include "effect/EffectBase.h"

using Anchor::AnchorItem;
using Anchor::AnchorList;
using Platform::math::Float4;
using Platform::math::Matrix;

namespace {

class Owner : public Effect::EffectBase {
public:
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<Owner>(); }
};

// A projection like the preview's: x and y through unchanged, clip w the
// depth (z + 100) and clip z 10, so a point is in front when its z > -90.
Matrix projection() {
    Matrix m;
    m.m[0][0] = 1;
    m.m[1][1] = 1;
    m.m[2][3] = 1;
    m.m[3][3] = 100;
    m.m[3][2] = 10;
    return m;
}

class AnchorListTest : public testing::Test {
protected:
    AnchorList list;
    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 0, 10);
    std::shared_ptr<Effect::EffectBase> effect = std::make_shared<Owner>();
};

TEST_F(AnchorListTest, PointBuildersProjectAndDropPointsBehindTheViewer) {
    struct Case {
        float z;
        bool added;
    };
    // W / Z - 1 = (z + 100) / 10 - 1: positive above z = -90; exactly on the
    // front plane the point is dropped.
    const Case cases[] = {{0, true}, {-89, true}, {-90, false}, {-150, false}, {500, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.z);
        list.clear();
        AnchorItem& item = list.addPoint(object, effect, 7, 20, -10, c.z, projection(), 0x1);
        ASSERT_EQ(list.size(), c.added ? 1u : 0u);
        if (!c.added) {
            EXPECT_EQ(&item, &AnchorList::blankItem());
            continue;
        }
        EXPECT_EQ(&item, &list.items[0]);
        EXPECT_EQ(item.type, AnchorItem::kPoint);
        EXPECT_EQ(item.flags, 0x8001u);
        EXPECT_EQ(item.id, 7);
        EXPECT_EQ(item.object, object);
        EXPECT_EQ(item.effect, effect);
        EXPECT_EQ(item.owner, effect.get());
        ASSERT_EQ(item.points.size(), 1u);
        EXPECT_FLOAT_EQ(item.points[0].x, 20 / (c.z + 100));
        EXPECT_FLOAT_EQ(item.points[0].y, -10 / (c.z + 100));
    }
    const Matrix m = projection();
    EXPECT_EQ(list.addObjectPoint(object, effect, 0, 0, 0, 0, m, 0).type, AnchorItem::kObjectPoint);
    EXPECT_EQ(list.addSmallPoint(object, effect, 0, 0, 0, 0, m, 0).type, AnchorItem::kSmallPoint);
}

TEST_F(AnchorListTest, WritingIntoTheBlankItemLeavesTheListAlone) {
    AnchorItem& blank = list.addPoint(object, effect, 1, 0, 0, -1000, projection(), 0);
    blank.setPosition(projection(), 1, 2, 3);
    blank.flags = 0x20000000;
    EXPECT_TRUE(list.empty());
    list.addPoint(object, effect, 1, 0, 0, 0, projection(), 0);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.items[0].flags, 0x8000u);
    EXPECT_NE(&list.items[0], &AnchorList::blankItem());
}

TEST_F(AnchorListTest, RectanglesAreClippedAtTheFrontPlane) {
    struct Case {
        const char* name;
        Matrix matrix;
        size_t vertices;  // 0: nothing added
    };
    Matrix tilted = projection();
    // Depth grows with y (clip z and w both): a 400-high rectangle has its
    // two corners at y = -200 behind the viewer.
    tilted.m[1][2] = 1;
    tilted.m[1][3] = 1;
    Matrix corner = projection();
    // Only the corner (+w/2, +h/2) is in front.
    corner.m[0][3] = 1;
    corner.m[1][3] = 1;
    corner.m[3][3] = -200;
    Matrix behind = projection();
    behind.m[3][3] = -500;
    const Case cases[] = {
        {"in front", projection(), 4},
        {"two corners behind", tilted, 4},
        {"one corner in front", corner, 3},
        {"all behind", behind, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.clear();
        list.addRectangle(object, effect, 3, 400, 400, c.matrix, 0);
        if (c.vertices == 0) {
            EXPECT_TRUE(list.empty());
            continue;
        }
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list.items[0].type, AnchorItem::kPolygon);
        EXPECT_EQ(list.items[0].points.size(), c.vertices);
        EXPECT_TRUE(list.items[0].snapPoints.empty());
    }
    // Unclipped: the corners in order (-w, +h), (-w, -h), (+w, -h), (+w, +h).
    list.clear();
    list.addRectangle(object, effect, 3, 40, 20, projection(), 0x2000000);
    const AnchorItem& item = list.items[0];
    const float expected[4][2] = {{-0.2f, 0.1f}, {-0.2f, -0.1f}, {0.2f, -0.1f}, {0.2f, 0.1f}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(item.points[i].x, expected[i][0]);
        EXPECT_FLOAT_EQ(item.points[i].y, expected[i][1]);
    }
    // Flat and snapping: every corner is a snap point.
    EXPECT_EQ(item.snapPoints.size(), 4u);
    // Tilted: no corner shares the centre's clip depth.
    list.clear();
    list.addRectangle(object, effect, 3, 40, 20, tilted, 0x4000000);
    EXPECT_TRUE(list.items[0].snapPoints.empty());
}

TEST_F(AnchorListTest, PolylinesSplitWhereTheyPassBehindTheViewer) {
    struct Case {
        const char* name;
        std::vector<float> depths;  // one point per depth; below -90 is behind
        std::vector<size_t> runs;
    };
    const Case cases[] = {
        {"all in front", {0, 0, 0}, {3}},
        {"crossing twice", {0, 0, -200, 0, 0, -200, 0, 0}, {2, 2, 2}},
        {"a lone point between two behind", {0, 0, -200, 0, -200, 0, 0}, {2, 2}},
        {"a single point", {0}, {}},
        {"all behind", {-200, -200}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.clear();
        std::vector<Float4> points;
        for (float z : c.depths) points.push_back(Platform::math::transform({1, 2, z, 1}, projection()));
        list.addPolyline(effect.get(), points.data(), points.size(), nullptr);
        ASSERT_EQ(list.size(), c.runs.size());
        for (size_t i = 0; i < c.runs.size(); ++i) {
            EXPECT_EQ(list.items[i].type, AnchorItem::kPolyline);
            EXPECT_EQ(list.items[i].points.size(), c.runs[i]);
            EXPECT_EQ(list.items[i].owner, effect.get());
            EXPECT_FALSE(list.items[i].effect);
        }
    }
    const Media::ColorRgba red{1, 0, 0, 1};
    const Float4 p = Platform::math::transform({1, 2, 0, 1}, projection());
    const Float4 two[2] = {p, p};
    list.clear();
    list.addPolyline(effect.get(), two, 2, &red);
    list.addMarker(effect.get(), p, &red);
    list.addMarker(effect.get(), p, nullptr);
    list.addDot(effect.get(), p);
    list.addMarker(effect.get(), {0, 0, 10, 1}, nullptr);  // behind
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.items[0].type, AnchorItem::kColourPolyline);
    EXPECT_EQ(list.items[0].colour[0], 1);
    EXPECT_EQ(list.items[1].type, AnchorItem::kColourMarker);
    EXPECT_EQ(list.items[1].colour[3], 1);
    EXPECT_EQ(list.items[2].type, AnchorItem::kMarker);
    EXPECT_EQ(list.items[2].colour[3], 0);
    EXPECT_EQ(list.items[3].type, AnchorItem::kDot);
}

TEST_F(AnchorListTest, LinesNeedTwoDistinctEndsInFront) {
    const Float4 start{10, 20, 10, 100}, end{30, 20, 10, 100};
    struct Case {
        const char* name;
        Float4 end;
        bool added;
    };
    const Case cases[] = {
        {"the same point", start, false},
        {"an end behind the viewer", {30, 20, 10, 5}, false},
        {"the same spot further away", {20, 40, 10, 200}, false},
        // Equal X and Y at another depth: a line along the view that shows.
        {"equal X and Y at another depth", {10, 20, 10, 50}, true},
    };
    for (const Case& c : cases) {
        list.clear();
        list.addLine(start, c.end, object, effect, 1, 0, 0, 0, projection(), 0x100004);
        EXPECT_EQ(list.size(), c.added ? 1u : 0u) << c.name;
    }
    list.clear();
    list.addLine(start, end, object, effect, 1, 4, 5, 6, projection(), 0x100004);
    ASSERT_EQ(list.size(), 1u);
    const AnchorItem& line = list.items[0];
    EXPECT_EQ(line.type, AnchorItem::kLine);
    EXPECT_EQ(line.flags, 0x100004u);  // not marked as projected
    ASSERT_EQ(line.points.size(), 3u);
    EXPECT_FLOAT_EQ(line.points[1].x, 0.3f);
    EXPECT_FLOAT_EQ(line.points[2].x, 0.1f + 0.01f);  // one unit along x at the start's depth
    EXPECT_FLOAT_EQ(line.position.z, 6);
    EXPECT_EQ(line.position.w, 1);
}

TEST_F(AnchorListTest, RectangleHandlesReferToTheOppositeCorner) {
    const Matrix q = Platform::math::translation(100, 0, 0);
    list.addRectangleHandles(object, effect, 5, 40, 20, 1, 2, 3, {7, 8, 9, 0.5f}, q, projection(), projection(), 0);
    ASSERT_EQ(list.size(), 4u);
    const uint32_t flags[4] = {0x2080a0, 0x2080c0, 0x208120, 0x208140};
    const float corners[4][2] = {{-20, -10}, {20, -10}, {20, 10}, {-20, 10}};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const AnchorItem& h = list.items[i];
        EXPECT_EQ(h.type, AnchorItem::kHandle);
        EXPECT_EQ(h.flags, flags[i]);
        EXPECT_FLOAT_EQ(h.position.x, 100 + corners[i][0]);
        EXPECT_FLOAT_EQ(h.startPosition.y, corners[i][1]);
        EXPECT_FLOAT_EQ(h.vectorA.x, 100 + corners[(i + 2) % 4][0]);
        EXPECT_FLOAT_EQ(h.vectorA.y, corners[(i + 2) % 4][1]);
        EXPECT_FLOAT_EQ(h.vectorB.w, 0.5f);
        EXPECT_FLOAT_EQ(h.referencePoint.z, 3);
        ASSERT_EQ(h.points.size(), 3u);
        EXPECT_FLOAT_EQ(h.points[0].x, corners[i][0] / 100);
        EXPECT_FLOAT_EQ(h.points[1].x, corners[(i + 3) % 4][0] / 100);
        EXPECT_FLOAT_EQ(h.points[2].x, corners[(i + 1) % 4][0] / 100);
    }
}

TEST_F(AnchorListTest, IconsArePinnedClickOnlyButtons) {
    int picture = 0;
    AnchorItem& icon = list.addIcon(object, effect, AnchorItem::kClippingViewIcon, &picture);
    EXPECT_EQ(icon.type, AnchorItem::kIcon);
    EXPECT_EQ(icon.flags, 0x68000u);
    EXPECT_EQ(icon.bitmap, &picture);
    ASSERT_EQ(icon.points.size(), 2u);
    EXPECT_EQ(icon.points[1].x, 32);
}

TEST_F(AnchorListTest, AnItemIsFoundAgainByObjectEffectIdAndFlags) {
    list.addPoint(object, effect, 1, 0, 0, 0, projection(), 0);
    list.addPoint(object, effect, 2, 0, 0, 0, projection(), 0);
    AnchorItem like(0, 0x8000, nullptr, object, effect, 2);
    ASSERT_NE(list.find(like), nullptr);
    EXPECT_EQ(list.find(like), &list.items[1]);
    like.flags = 0x18000;
    EXPECT_EQ(list.find(like), nullptr);
    like.flags = 0x8000;
    like.effect = std::make_shared<Owner>();
    EXPECT_EQ(list.find(like), nullptr);
}

TEST(AnchorMoveTest, MovedPositionFollowsThePixelsAtTheAnchorsDepth) {
    const Anchor::Viewport viewport{0, 0, 200, 100};
    struct Case {
        float z, dx, dy;
        float x, y;
    };
    // Clip x moves 2 / 200 per pixel, clip y 2 / 100 down per pixel; the
    // model moves by that times the depth (w = z + 100).
    const Case cases[] = {
        {0, 10, 0, 10, 0},
        {0, 0, 5, 0, -10},
        {100, 10, 5, 20, -20},
    };
    for (const Case& c : cases) {
        const Float4 p = Anchor::getMovedPosition(viewport, {0, 0, c.z, 1}, projection(), c.dx, c.dy);
        EXPECT_NEAR(p.x, c.x, 1e-4) << c.z;
        EXPECT_NEAR(p.y, c.y, 1e-4) << c.z;
        EXPECT_NEAR(p.z, c.z, 1e-3) << c.z;
    }
    // A viewport with no size counts as one pixel wide.
    const Float4 p = Anchor::getMovedPosition({}, {0, 0, 0, 1}, projection(), 1, 0);
    EXPECT_NEAR(p.x, 200, 1e-3);
}

}  // namespace
