#include <gtest/gtest.h>

#include <memory>
#include <cstddef>
#include <optional>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/AnchorEvent.h"
#include "effect/AnchorList.h"
#include "effect/MovementLookup.h"
#include "effect/RenderContext.h"
#include "filters/BasicMove.h"
#include "support/TestModelQueries.h"

namespace {

// The view reads the frame's size through the reader the program installs;
// this one answers 640 x 360 for the stand-in frame, which it never reads.
alignas(std::max_align_t) unsigned char gFrame[16] = {};
Media::RenderBuffer* const kFrame = reinterpret_cast<Media::RenderBuffer*>(gFrame);

// An output that places its object at (50, -20, 5) with its centre off the
// position, so that the anchors show they place the position itself.
class PlacingOutput : public Effect::EffectBase {
public:
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<PlacingOutput>(); }
    Effect::OutputView getOutputView(Render::RenderContext&) override {
        Effect::OutputView view;
        view.x = 50;
        view.y = -20;
        view.z = 5;
        view.centerX = 7;
        view.centerY = -3;
        view.scaleX = 2;
        view.frameBuffer = kFrame;
        return view;
    }
};

class BasicMoveAnchorTest : public testing::Test {
protected:
    void SetUp() override {
        previous_ = Effect::setFrameSizeReader(
            [](const Media::RenderBuffer&, int32_t& width, int32_t& height) { width = 640, height = 360; });
        object->midpoints = {30};
        object->effects = {std::make_shared<PlacingOutput>(), std::make_shared<PlacingOutput>(), move};
        context.scene = &scene;
        context.object = object;
        at(0);
    }
    void TearDown() override { Effect::setFrameSizeReader(previous_); }
    void at(int32_t frame) {
        context.frame = frame;
        context.preciseFrame = frame;
        context.section = Render::SectionPosition::locate(*object, frame, frame);
    }
    // X moves in a line through 0, 100 and 300 over the object's two sections.
    void moveX() {
        move->x.movement = Effect::findMovement(L"直線移動");
        move->x.values.resize(3);
        move->x.setValue(0, 0);
        move->x.setValue(100, 1);
        move->x.setValue(300, 2);
    }
    static Platform::math::Float4 origin(float dx, float dy, float dz) {
        Effect::OutputView view;
        view.x = 50 + dx;
        view.y = -20 + dy;
        view.z = 5 + dz;
        view.scaleX = 2;
        view.frameBuffer = kFrame;
        return Platform::math::transform({0, 0, 0, 1}, view.getWorldViewMatrix());
    }

    Edit::Scene scene{0, 0};
    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 0, 60);
    std::shared_ptr<Effect::BasicMove> move = std::make_shared<Effect::BasicMove>();
    Render::RenderContext context;
    Effect::FrameSizeReader previous_ = nullptr;
};

TEST_F(BasicMoveAnchorTest, TheAnchorPositionFollowsTheMoveAtTheFrame) {
    moveX();
    move->y.setValue(12.5, 0);
    move->z.setValue(-4, 0);
    struct Case {
        double frame;
        float x;
        int32_t section;
    };
    const Case cases[] = {{0, 0, 0}, {15, 50, 0}, {45, 200, 1}, {37.5, 150, 1}, {60, 300, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        at(0);
        const Platform::math::Float4 got = move->getAnchorPosition(context, c.frame);
        const Platform::math::Float4 expected = origin(c.x, 12.5f, -4);
        EXPECT_NEAR(got.x, expected.x, 1e-3);
        EXPECT_NEAR(got.y, expected.y, 1e-3);
        EXPECT_NEAR(got.z, expected.z, 1e-3);
        EXPECT_NEAR(got.w, expected.w, 1e-3);
        // The context stays at the frame.
        EXPECT_EQ(context.preciseFrame, c.frame);
        EXPECT_EQ(context.section.index, c.section);
    }
}

// Which stored value key i of an object with m midpoints shows.
TEST(BasicMoveKeyTest, KeysAddressTheStoredValues) {
    struct Case {
        size_t values;
        int32_t key, midpoints;
        std::optional<int32_t> index;
    };
    const Case cases[] = {
        {1, 0, 1, 0},
        {1, 2, 1, 0},  // one value: every key shows it
        {3, 0, 1, 0},
        {3, 1, 1, 1},
        {3, 2, 1, 2},  // one value per key
        {2, 1, 1, std::nullopt},
        {2, 2, 1, 1},  // start and end only: no midpoint key
        {4, 3, 2, 3},
        {4, 5, 2, 3},
        {5, 1, 2, std::nullopt},  // past the end: the last value
    };
    for (const Case& c : cases)
        EXPECT_EQ(Effect::BasicMove::keyValueIndex(c.values, c.key, c.midpoints), c.index)
            << c.values << " values, key " << c.key << ", " << c.midpoints << " midpoints";
}

// The anchors of later effects see the position without this move, and the
// step itself adds the move: drawing the anchors does not move the object twice.
TEST_F(BasicMoveAnchorTest, DrawingTheAnchorsTakesTheMoveBackOut) {
    move->x.setValue(100, 0);
    context.view.x = 150;
    scene.focusObject = object;
    move->drawAnchor(context, move, 0, 0);
    EXPECT_FLOAT_EQ(context.view.x, 50);
    EXPECT_FALSE(move->moves());
    moveX();
    EXPECT_TRUE(move->moves());
}

// The anchor moves the position where the output put it: a drag of 10
// pixels on a frame shown at its own size moves X by 10, whatever the zoom.
TEST_F(BasicMoveAnchorTest, DraggingTheAnchorMovesThePosition) {
    move->x.setValue(100, 0);
    Anchor::AnchorList list;
    context.anchorList = &list;
    scene.focusObject = object;
    move->updateAnchor(context, 0, 0);
    ASSERT_FALSE(list.empty());
    const Anchor::AnchorItem& anchor = list.items[0];
    EXPECT_FLOAT_EQ(anchor.position.x, 150);
    Anchor::AnchorEvent drag;
    drag.object = object;
    drag.effect = move;
    drag.id = anchor.id;
    drag.kind = Anchor::AnchorEvent::kDrag;
    drag.matrix = anchor.matrix;
    drag.position = anchor.position;
    drag.stepX = 10;
    drag.stepY = -6;
    drag.viewport = {0, 0, 640, 360};
    EXPECT_TRUE(move->anchorEvent(drag));
    EXPECT_NEAR(move->x.keyValue(0), 110, 0.02);
    EXPECT_NEAR(move->y.keyValue(0), -6, 0.02);
    EXPECT_NEAR(move->z.keyValue(0), 0, 0.02);
}

}  // namespace
