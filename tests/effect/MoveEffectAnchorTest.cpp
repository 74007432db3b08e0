#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "AnchorFixture.h"
#include "effect/ControlView.h"
#include "effect/MoveEffect.h"

using Anchor::AnchorItem;
using anchors::clipOf;

namespace {

// An output that places its object at X, Y, Z of the context's view, at its
// zoom, turned about Z.
class PlacedOutput : public Effect::MoveEffect {
public:
    Effect::EffectItemNumber x{&items, L"X", 0, -100000, 100000, 0.01};
    Effect::EffectItemNumber y{&items, L"Y", 0, -100000, 100000, 0.01};
    Effect::EffectItemNumber z{&items, L"Z", 0, -100000, 100000, 0.01};
    Effect::EffectItemNumber zoom{&items, L"拡大率", 100, 0, 10000, 0.001};
    float rotation = 0;
    PlacedOutput() {
        role = kOutput;
        positionItems = {&x, &y, &z};
        ownSizeItem = &zoom;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<PlacedOutput>(); }
    Effect::OutputView getOutputView(Render::RenderContext& context) override {
        Effect::OutputView view = context.view;
        view.x += static_cast<float>(x.getValue(context));
        view.y += static_cast<float>(y.getValue(context));
        view.z += static_cast<float>(z.getValue(context));
        view.scaleX = view.scaleY = static_cast<float>(zoom.getValue(context) / 100);
        view.rotationZ = rotation;
        return view;
    }
};

// A camera: the view's own projection, and no plain group.
class PlainCamera : public Effect::EffectBase, public Effect::ControlView {
public:
    PlainCamera() { role = kControl; }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<PlainCamera>(); }
    Platform::math::Matrix getControlWorldMatrix() const override { return Platform::math::identity(); }
    Platform::math::Matrix getControlViewMatrix() const override {
        Effect::OutputView view;
        return view.getScreenMatrix(640, 360);
    }
    void setTargetMarker(const Platform::math::Float4& point) override { targets.push_back(point); }
    std::vector<Platform::math::Float4> targets;
};

// The preview as drags see it: the scene shown at its own size, the snap
// targets the test sets, the other object selected or not.
class Preview : public Anchor::AnchorHost {
public:
    const Anchor::AnchorList* list = nullptr;
    std::vector<SnapTarget> targets;
    std::vector<const Edit::Object*> selected;
    const Anchor::AnchorList& currentList() const override { return *list; }
    const std::vector<SnapTarget>& snapTargets() const override { return targets; }
    bool isSelected(const Edit::Object& object) const override {
        return std::find(selected.begin(), selected.end(), &object) != selected.end();
    }
    int32_t previewWidth() const override { return 640; }
    int32_t previewHeight() const override { return 360; }
    int32_t sceneWidth() const override { return 640; }
    int32_t sceneHeight() const override { return 360; }
};

class MoveEffectAnchorTest : public anchors::AnchorFixture {
protected:
    void SetUp() override {
        AnchorFixture::SetUp();
        object->midpoints = {30};
        object->effects = {std::make_shared<anchors::StillSource>(), output};
        place(object, 10);
    }
    std::vector<int32_t> ids(int32_t type) const {
        std::vector<int32_t> out;
        for (const AnchorItem* item : ofType(type)) out.push_back(item->id);
        return out;
    }

    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 0, 60);
    std::shared_ptr<PlacedOutput> output = std::make_shared<PlacedOutput>();
};

TEST_F(MoveEffectAnchorTest, TheOutlineCoversTheObjectWhereverItIsPlaced) {
    struct Case {
        float x, y, z, zoom, rotation;
    };
    const Case cases[] = {
        {0, 0, 0, 100, 0},
        {100, -40, 0, 200, 0},
        {-50, 30, 300, 50, 180},
        {0, 0, -500, 100, 0},
    };
    // The corners of a 100 x 50 image in the outline's order.
    const float corners[4][2] = {{-50, 25}, {-50, -25}, {50, -25}, {50, 25}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << ", " << c.z << " at " << c.zoom << "%");
        list.clear();
        output->x.setValue(c.x, 0);
        output->y.setValue(c.y, 0);
        output->z.setValue(c.z, 0);
        output->zoom.setValue(c.zoom, 0);
        output->rotation = c.rotation;
        output->updateAnchor(context, 100, 50);
        const auto outlines = ofType(AnchorItem::kPolygon);
        ASSERT_EQ(outlines.size(), 1u);
        const AnchorItem& outline = *outlines[0];
        EXPECT_EQ(outline.id, AnchorItem::kCurrentValue);
        // Flat space: snapping, a snap target; not the focus: not drawn.
        EXPECT_EQ(outline.flags, 0x26018000u);
        ASSERT_EQ(outline.points.size(), 4u);
        const float turn = c.rotation == 0 ? 1.0f : -1.0f, s = c.zoom / 100;
        for (size_t i = 0; i < 4; ++i) {
            const Platform::math::Float4 e =
                clipOf(c.x + turn * s * corners[i][0], c.y + turn * s * corners[i][1], c.x, c.y, c.z);
            EXPECT_NEAR(outline.points[i].x, e.x, 1e-4) << i;
            EXPECT_NEAR(outline.points[i].y, e.y, 1e-4) << i;
        }
        // The drag moves the position itself, which projects onto the object's place.
        EXPECT_FLOAT_EQ(outline.position.x, c.x);
        EXPECT_FLOAT_EQ(outline.position.z, c.z);
        const Platform::math::Float4 p = Platform::math::transform(outline.position, outline.matrix);
        EXPECT_NEAR(p.x / p.w, 2 * c.x / anchors::kWidth, 1e-5);
        EXPECT_NEAR(p.y / p.w, -2 * c.y / anchors::kHeight, 1e-5);
    }
}

TEST_F(MoveEffectAnchorTest, AFocusedObjectOffersHandlesKeysAndItsPathInHitOrder) {
    scene.focusObject = object;
    setValues(output->x, {0, 100, 300});
    output->updateAnchor(context, 100, 50);
    std::vector<int32_t> types;
    for (const AnchorItem& item : list.items)
        if (types.empty() || types.back() != item.type) types.push_back(item.type);
    // Outline, centre marker, size handles of the key shown, the keys, the dots, the path.
    EXPECT_EQ(types, (std::vector<int32_t>{AnchorItem::kPolygon, AnchorItem::kMarker, AnchorItem::kHandle,
                                           AnchorItem::kPolygon, AnchorItem::kDot, AnchorItem::kPolyline}));
    EXPECT_EQ(ids(AnchorItem::kPolygon), (std::vector<int32_t>{AnchorItem::kCurrentValue, 0, 1, 2}));
    const auto outlines = ofType(AnchorItem::kPolygon);
    EXPECT_EQ(outlines[0]->flags & AnchorItem::kNotDrawn, AnchorItem::kNotDrawn);
    const float keys[3] = {0, 100, 300};
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(outlines[k + 1]->flags, 0x2088000u);
        EXPECT_FLOAT_EQ(outlines[k + 1]->position.x, keys[k]);
        // The outline is centred on the key's position.
        const float mid = (outlines[k + 1]->points[0].x + outlines[k + 1]->points[2].x) / 2;
        EXPECT_NEAR(mid, clipOf(keys[k], 0, keys[k], 0, 0).x, 1e-5);
    }
    // The handles are those of the section the frame lies in.
    const auto handles = ofType(AnchorItem::kHandle);
    ASSERT_EQ(handles.size(), 4u);
    // The handles sit on key 0 itself, so they edit that key.
    EXPECT_EQ(handles[0]->id, 0);
    EXPECT_EQ(handles[0]->flags, 0x2080a0u);
}

TEST_F(MoveEffectAnchorTest, KeyAnchorsFollowTheValuesPerKey) {
    struct Case {
        const char* name;
        std::vector<int32_t> midpoints;
        std::vector<double> x;
        bool centre;
        std::vector<int32_t> outlines, points;
    };
    const Case cases[] = {
        {"one value per key", {30}, {0, 100, 300}, false, {AnchorItem::kCurrentValue, 0, 1, 2}, {}},
        {"keys not lined up", {20, 40}, {0, 100, 300}, false, {AnchorItem::kCurrentValue, 0, 3}, {}},
        {"centre shown", {30}, {0, 100, 300}, true, {AnchorItem::kCurrentValue}, {0, 1, 2}},
        {"still", {30}, {50}, false, {AnchorItem::kCurrentValue}, {}},
    };
    scene.focusObject = object;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.clear();
        object->midpoints = c.midpoints;
        place(object, 10);
        setValues(output->x, c.x);
        commands.centerAnchor = c.centre;
        output->updateAnchor(context, 100, 50);
        EXPECT_EQ(ids(AnchorItem::kPolygon), c.outlines);
        EXPECT_EQ(ids(AnchorItem::kObjectPoint), c.points);
        // With the centre shown there are no size handles.
        EXPECT_EQ(ofType(AnchorItem::kHandle).empty(), c.centre);
    }
}

TEST_F(MoveEffectAnchorTest, DraggingTheObjectMovesEveryKeyAndAKeyItsOwnValue) {
    scene.focusObject = object;
    setValues(output->x, {0, 100, 300});
    output->updateAnchor(context, 100, 50);
    commands.snap = false;
    const auto outlines = ofType(AnchorItem::kPolygon);
    // 10 pixels right and 4 down on a frame shown at its own size.
    Anchor::AnchorEvent all = dragOf(*outlines[0], 10, 4);
    EXPECT_TRUE(output->anchorEvent(all));
    EXPECT_EQ(output->x.values, (std::vector<int32_t>{1000, 11000, 31000}));
    EXPECT_EQ(output->y.values, (std::vector<int32_t>{400}));
    EXPECT_NEAR(all.position.x, outlines[0]->position.x + 10, 1e-3);
    Anchor::AnchorEvent key = dragOf(*outlines[2], -30, 0);
    EXPECT_TRUE(output->anchorEvent(key));
    EXPECT_EQ(output->x.values, (std::vector<int32_t>{1000, 8000, 31000}));
}

TEST_F(MoveEffectAnchorTest, AnObjectAnchorSnapsOntoAnotherObjectWithinEightPixels) {
    output->updateAnchor(context, 100, 50);
    Preview preview;
    preview.list = &list;
    const auto other = std::make_shared<Edit::Object>(1, 0, 60);
    // This object is selected and stands at the centre; the other stands
    // 32 pixels right and 90 up.
    preview.selected = {object.get()};
    preview.targets = {{object, 0, 0}, {other, 0.1f, 0.5f}};
    struct Case {
        int32_t dx, dy;
        float x, y;
    };
    const Case cases[] = {
        {29, 0, 32, 0},          // 3 pixels short: pulled on in x
        {41, 0, 41, 0},          // 9 pixels past: left alone
        {-100, -86, -100, -90},  // y snaps on its own
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
        output->x.setValue(0, 0);
        output->y.setValue(0, 0);
        Anchor::AnchorEvent drag = dragOf(*ofType(AnchorItem::kPolygon)[0], c.dx, c.dy);
        drag.control = &preview;
        EXPECT_TRUE(output->anchorEvent(drag));
        EXPECT_NEAR(output->x.keyValue(0), c.x, 0.011);
        EXPECT_NEAR(output->y.keyValue(0), c.y, 0.011);
        EXPECT_NEAR(drag.position.x, c.x, 1e-3);
    }
    // With snapping off the drag goes where the mouse went.
    commands.snap = false;
    output->x.setValue(0, 0);
    Anchor::AnchorEvent drag = dragOf(*ofType(AnchorItem::kPolygon)[0], 29, 0);
    drag.control = &preview;
    EXPECT_TRUE(output->anchorEvent(drag));
    EXPECT_NEAR(output->x.keyValue(0), 29, 0.011);
}

TEST_F(MoveEffectAnchorTest, ACameraOffersAxisHandlesAndNoSnapping) {
    const auto camera = std::make_shared<Edit::Object>(0, 0, 60);
    camera->effects = {std::make_shared<PlainCamera>()};
    context.view.cameraControl = camera;
    scene.focusObject = object;
    // Off the vanishing point, so that the Z handle shows as a line.
    output->x.setValue(100, 0);
    output->updateAnchor(context, 100, 50);
    const auto lines = ofType(AnchorItem::kLine);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]->flags, 0x100004u);
    EXPECT_EQ(lines[1]->flags, 0x100008u);
    EXPECT_EQ(lines[2]->flags, 0x100010u);
    EXPECT_EQ(ofType(AnchorItem::kPolygon)[0]->flags & AnchorItem::kSnapping, 0u);
    // Dragging the Y handle moves Y alone, by the axis factor.
    Anchor::AnchorEvent drag = dragOf(*lines[1], 10, 10);
    drag.axisFactor = 2;
    EXPECT_TRUE(output->anchorEvent(drag));
    EXPECT_EQ(output->x.values, (std::vector<int32_t>{10000}));
    EXPECT_EQ(output->z.values, (std::vector<int32_t>{0}));
    EXPECT_NEAR(output->y.keyValue(0), 20, 0.05);
    // The focused object's position goes to the camera as its target marker.
    const auto& cameraEffect = static_cast<PlainCamera&>(*camera->effects.front());
    ASSERT_EQ(cameraEffect.targets.size(), 1u);
    EXPECT_FLOAT_EQ(cameraEffect.targets[0].x, 100);
    EXPECT_FLOAT_EQ(cameraEffect.targets[0].w, 1);
    // Without a camera there are no axis handles.
    list.clear();
    context.view.cameraControl.reset();
    output->updateAnchor(context, 100, 50);
    EXPECT_TRUE(ofType(AnchorItem::kLine).empty());
}

TEST_F(MoveEffectAnchorTest, ASizeHandleScalesAboutTheOppositeCorner) {
    struct Case {
        float px, py;
        double zoom, x, y;
    };
    // Fixed corner (-50, -25), dragged corner from (50, 25); no centre offset.
    const double b = std::sqrt(100.0 * 100 + 50 * 50);
    const Case cases[] = {
        {150, 75, 200, 50, 25},                                           // twice as far
        {0, 0, 50, -25, -12.5},                                           // half way
        {-150, -75, 100 * 16 / b, -50 + 50 * 16 / b, -25 + 25 * 16 / b},  // across the fixed corner
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.px << ", " << c.py);
        Anchor::AnchorEvent drag;
        drag.object = object;
        drag.effect = output;
        drag.id = AnchorItem::kCurrentValue;
        drag.flags = 0x2080a0;
        drag.vectorA = {-50, -25, 0, 1};
        drag.startPosition = {50, 25, 0, 1};
        drag.position = {c.px, c.py, 0, 1};
        drag.vectorB = {0, 0, 0, 1};  // no centre offset, at 100 %
        drag.referencePoint = {0, 0, 0, 1};
        output->resizeByHandle(drag);
        EXPECT_NEAR(output->zoom.keyValue(0), c.zoom, 0.001);
        EXPECT_NEAR(output->x.keyValue(0), c.x, 0.01);
        EXPECT_NEAR(output->y.keyValue(0), c.y, 0.01);
    }
}

TEST_F(MoveEffectAnchorTest, AClippingObjectOffersTheViewButton) {
    object->clipping = true;
    output->updateAnchor(context, 100, 50);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.items[0].type, AnchorItem::kIcon);
    EXPECT_EQ(list.items[0].id, AnchorItem::kClippingViewIcon);
    EXPECT_EQ(list.items[0].bitmap, &commands.pictures[1]);
    list.clear();
    context.firstClipping = 0;
    output->updateAnchor(context, 100, 50);
    EXPECT_TRUE(ofType(AnchorItem::kIcon).empty());
}

}  // namespace
