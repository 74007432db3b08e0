#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "AnchorFixture.h"
#include "edit/Layer.h"
#include "effect/MoveXYAnchorEffect.h"

using Anchor::AnchorItem;
using anchors::clipOf;

namespace {

// An output that places its object at (50, -20) at twice its size, its
// centre off the position so that the anchors show they ignore it.
class PlacingOutput : public Effect::EffectBase {
public:
    PlacingOutput() { role = kOutput; }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<PlacingOutput>(); }
    Effect::OutputView getOutputView(Render::RenderContext& context) override {
        Effect::OutputView view = context.view;
        view.x += 50;
        view.y += -20;
        view.centerX = 7;
        view.centerY = -3;
        view.scaleX = view.scaleY = 2;
        return view;
    }
};

// A filter whose centre the user drags.
class CentreFilter : public Effect::MoveXYAnchorEffect {
public:
    Effect::EffectItemNumber x{&items, L"X", 0, -5000, 5000, 0.1};
    Effect::EffectItemNumber y{&items, L"Y", 0, -5000, 5000, 0.1};
    CentreFilter() {
        role = kFilter;
        positionItems = {&x, &y};
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<CentreFilter>(); }
};

class AnchorEffectTest : public anchors::AnchorFixture {
protected:
    void SetUp() override {
        AnchorFixture::SetUp();
        object->midpoints = {30};
        object->effects = {std::make_shared<anchors::StillSource>(), output, filter};
        place(object, 10);
    }
    // Where the filter's point (x, y) shows.
    static Platform::math::Float4 expected(float x, float y) { return clipOf(50 + 2 * x, -20 + 2 * y, 50, -20, 0); }

    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 0, 60);
    std::shared_ptr<PlacingOutput> output = std::make_shared<PlacingOutput>();
    std::shared_ptr<CentreFilter> filter = std::make_shared<CentreFilter>();
};

TEST_F(AnchorEffectTest, TheAnchorPassShowsAnchorsOnlyWhereTheyMayBeEdited) {
    filter->x.setValue(10, 0);
    struct Case {
        const char* name;
        bool focused, effectLocked, layerLocked;
        size_t anchors;
    };
    const Case cases[] = {
        {"focused", true, false, false, 1},
        {"a filter of an object that is not focused", false, false, false, 0},
        {"locked effect", true, true, false, 0},
        {"locked layer", true, false, true, 0},
    };
    scene.reserveLayer(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.clear();
        scene.focusObject = c.focused ? object : nullptr;
        filter->locked = c.effectLocked;
        scene.getLayer(0).layer->lock = c.layerLocked;
        filter->updateAnchor(context, 100, 50);
        EXPECT_EQ(list.size(), c.anchors);
    }
    // An effect that is not in the object's chain shows none.
    list.clear();
    scene.focusObject = object;
    filter->locked = false;
    scene.getLayer(0).layer->lock = false;
    std::make_shared<CentreFilter>()->updateAnchor(context, 100, 50);
    EXPECT_TRUE(list.empty());
    // A layer outside the scene counts as unlocked.
    object->layer = 5;
    filter->updateAnchor(context, 100, 50);
    EXPECT_EQ(list.size(), 1u);
}

TEST_F(AnchorEffectTest, TheCurrentAnchorMarksTheCentreOnTheObject) {
    filter->x.setValue(10, 0);
    filter->y.setValue(-5, 0);
    scene.focusObject = object;
    filter->updateAnchor(context, 100, 50);
    ASSERT_EQ(list.size(), 1u);
    const AnchorItem& anchor = list.items[0];
    EXPECT_EQ(anchor.type, AnchorItem::kPoint);
    EXPECT_EQ(anchor.id, AnchorItem::kCurrentValue);
    // Focused and still: drawn; a filter's anchor is no object anchor.
    EXPECT_EQ(anchor.flags, 0x8000u);
    EXPECT_EQ(anchor.effect, filter);
    EXPECT_EQ(anchor.object, object);
    const Platform::math::Float4 e = expected(10, -5);
    EXPECT_NEAR(anchor.points[0].x, e.x, 1e-5);
    EXPECT_NEAR(anchor.points[0].y, e.y, 1e-5);
    EXPECT_FLOAT_EQ(anchor.position.x, 10);
    EXPECT_FLOAT_EQ(anchor.position.y, -5);
    EXPECT_EQ(anchor.position.w, 1);
}

TEST_F(AnchorEffectTest, AMovingCentreShowsItsKeysAndPath) {
    setValues(filter->x, {0, 100, 300});
    scene.focusObject = object;
    filter->updateAnchor(context, 100, 50);

    const auto points = ofType(AnchorItem::kPoint);
    ASSERT_EQ(points.size(), 4u);
    // The current value is hidden and shown as a marker instead; the keys are the handles.
    EXPECT_EQ(points[0]->id, AnchorItem::kCurrentValue);
    EXPECT_EQ(points[0]->flags, 0x20008000u);
    EXPECT_EQ(ofType(AnchorItem::kColourMarker).size() + ofType(AnchorItem::kMarker).size(), 1u);
    const float keys[3] = {0, 100, 300};
    for (int32_t k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const AnchorItem& key = *points[static_cast<size_t>(k) + 1];
        EXPECT_EQ(key.id, k);
        EXPECT_EQ(key.flags, 0x88000u);
        EXPECT_NEAR(key.points[0].x, expected(keys[k], 0).x, 1e-5);
        EXPECT_FLOAT_EQ(key.startPosition.x, keys[k]);
    }
    // 64 samples over two sections (65 points) and the midpoint's own; a dot every fourth sample.
    const auto lines = ofType(AnchorItem::kPolyline);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0]->points.size(), 66u);
    EXPECT_EQ(ofType(AnchorItem::kDot).size(), 17u);
    EXPECT_NEAR(lines[0]->points.front().x, expected(0, 0).x, 1e-5);
    EXPECT_NEAR(lines[0]->points.back().x, expected(300, 0).x, 1e-5);
    // Sample 32 lands on frame 30, the midpoint, which follows it exactly.
    EXPECT_NEAR(lines[0]->points[33].x, expected(100, 0).x, 1e-5);
    EXPECT_NEAR(lines[0]->points[32].x, lines[0]->points[33].x, 1e-5);
    // The effects after this one see the context as it was.
    EXPECT_EQ(context.frame, 10);
    EXPECT_EQ(context.preciseFrame, 10);
    EXPECT_EQ(context.section.index, 0);
}

TEST_F(AnchorEffectTest, TheTrajectoryFollowsTheSettingsAndTheMovement) {
    scene.focusObject = object;
    setValues(filter->x, {0, 100, 300});
    commands.movePoints = false;
    filter->updateAnchor(context, 100, 50);
    EXPECT_TRUE(ofType(AnchorItem::kDot).empty());
    EXPECT_EQ(ofType(AnchorItem::kPolyline).size(), 1u);
    // A movement without a path shows none.
    list.clear();
    setValues(filter->y, {0, 5, 10}, L"ランダム移動");
    filter->updateAnchor(context, 100, 50);
    EXPECT_TRUE(ofType(AnchorItem::kPolyline).empty());
    EXPECT_EQ(ofType(AnchorItem::kPoint).size(), 4u);
}

TEST_F(AnchorEffectTest, KeysWhoseValuesDoNotLineUpHaveNoAnchor) {
    // Three sections (four keys) while X still holds three values.
    object->midpoints = {20, 40};
    place(object, 10);
    setValues(filter->x, {0, 100, 300});
    scene.focusObject = object;
    filter->updateAnchor(context, 100, 50);
    std::vector<int32_t> ids;
    for (const AnchorItem* p : ofType(AnchorItem::kPoint)) ids.push_back(p->id);
    EXPECT_EQ(ids, (std::vector<int32_t>{AnchorItem::kCurrentValue, 0, 3}));
}

TEST_F(AnchorEffectTest, DraggingMovesTheAddressedKeys) {
    setValues(filter->x, {0, 100, 300});
    scene.focusObject = object;
    filter->updateAnchor(context, 100, 50);
    const auto points = ofType(AnchorItem::kPoint);
    // 10 pixels right on a 640-wide frame at twice the size: 5 in X.
    Anchor::AnchorEvent current = dragOf(*points[0], 10, 0);
    EXPECT_TRUE(filter->anchorEvent(current));
    EXPECT_EQ(filter->x.values, (std::vector<int32_t>{50, 1050, 3050}));
    EXPECT_NEAR(current.position.x, points[0]->position.x + 5, 1e-3);
    Anchor::AnchorEvent key = dragOf(*points[2], 0, -20);
    EXPECT_TRUE(filter->anchorEvent(key));
    EXPECT_EQ(filter->x.values, (std::vector<int32_t>{50, 1050, 3050}));
    // Y has one value: every key moves it, 20 pixels up on a 360-high frame at twice the size.
    EXPECT_EQ(filter->y.values, (std::vector<int32_t>{-100}));
}

TEST_F(AnchorEffectTest, ClicksShowTheKeyAndDoubleClicksMoveTheCursor) {
    object->start = 100;
    object->end = 200;
    object->midpoints = {30, 60};
    Anchor::AnchorEvent event;
    event.object = object;
    event.effect = filter;
    struct Case {
        int32_t kind, id;
        uint32_t flags;
        std::vector<int32_t> shown, cursor;
    };
    const Case cases[] = {
        {Anchor::AnchorEvent::kClick, 2, 0, {160}, {}},
        {Anchor::AnchorEvent::kClick, 0, 0x80000, {100}, {}},
        {Anchor::AnchorEvent::kClick, 7, 0, {200}, {}},  // past the last key: the end frame
        {Anchor::AnchorEvent::kClick, AnchorItem::kCurrentValue, 0, {}, {}},
        {Anchor::AnchorEvent::kDoubleClick, 2, 0x80000, {}, {160}},
        {Anchor::AnchorEvent::kDoubleClick, 2, 0, {}, {}},
        {Anchor::AnchorEvent::kDoubleClick, AnchorItem::kCurrentValue, 0x80000, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " id " << c.id);
        commands.shownFrames.clear();
        commands.cursorFrames.clear();
        event.kind = c.kind;
        event.id = c.id;
        event.flags = c.flags;
        EXPECT_TRUE(filter->anchorEvent(event));
        EXPECT_EQ(commands.shownFrames, c.shown);
        EXPECT_EQ(commands.cursorFrames, c.cursor);
    }
    event.kind = Anchor::AnchorEvent::kRightDrag;
    EXPECT_FALSE(filter->anchorEvent(event));
    // The clipping-view button switches the setting each click.
    event.kind = Anchor::AnchorEvent::kClick;
    event.id = AnchorItem::kClippingViewIcon;
    EXPECT_TRUE(filter->anchorEvent(event));
    EXPECT_FALSE(commands.visible);
    EXPECT_TRUE(filter->anchorEvent(event));
    EXPECT_TRUE(commands.visible);
}

TEST_F(AnchorEffectTest, TheSlotsTheFamilyDoesNotFillThrow) {
    class Bare : public Effect::AnchorEffectBase {
    public:
        std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<Bare>(); }
    } bare;
    EXPECT_THROW(bare.setCurrentAnchor(context, nullptr, 0, 0), std::runtime_error);
    EXPECT_THROW(bare.setSectionAnchor(context, nullptr, 0, 0), std::runtime_error);
}

}  // namespace
