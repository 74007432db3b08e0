// The camera's anchors in a preview render, and the drag of its camera
// anchor that orbits the eye about the target.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "effect/AnchorCommands.h"
#include "effect/AnchorEvent.h"
#include "effect/AnchorList.h"
#include "filters/CameraFixture.h"

namespace OutputTest {
namespace {

using Anchor::AnchorItem;
using Effect::CameraControl;

constexpr uint32_t kW = 64, kH = 48;
constexpr double kPi = 3.14159265358979323846;

// The free-view switch as the edit side keeps it.
class FreeViewCommands : public Effect::AnchorCommands {
public:
    FreeViewCommands() : previous_(setCurrent(this)) {}
    ~FreeViewCommands() override { setCurrent(previous_); }
    void showSection(const Edit::Object&, int32_t) override {}
    int32_t shownKey(const Edit::Object&) const override { return -1; }
    void setCursorFrame(int32_t) override {}
    bool visibleClippingObject() const override { return true; }
    void setVisibleClippingObject(bool) override {}
    const void* clippingIcon(bool) const override { return nullptr; }
    bool cameraFreeView() const override { return freeView; }
    void setCameraFreeView(bool on) override { freeView = on; }
    const void* cameraIcon(int32_t kind) const override { return &icons[kind]; }
    Effect::DisplayCamera* sceneCamera() override { return camera; }
    bool displayObjectMovePoint() const override { return false; }
    bool displayObjectCenterAnchor() const override { return false; }
    bool anchorObjectMoveSnap() const override { return false; }

    bool freeView = false;
    int icons[3] = {};
    Effect::DisplayCamera* camera = nullptr;

private:
    AnchorCommands* previous_;
};

// The preview as the camera's drag sees it: the modifier keys held, and
// whether it was told to show the not-allowed pointer.
class DragHost : public Anchor::AnchorHost {
public:
    const Anchor::AnchorList& currentList() const override { return list_; }
    const std::vector<SnapTarget>& snapTargets() const override { return snaps_; }
    bool isSelected(const Edit::Object&) const override { return false; }
    int32_t previewWidth() const override { return kW; }
    int32_t previewHeight() const override { return kH; }
    int32_t sceneWidth() const override { return kW; }
    int32_t sceneHeight() const override { return kH; }
    void refuseDrag() override { ++refused; }
    bool shiftHeld() const override { return shift; }
    bool controlHeld() const override { return ctrl; }

    bool shift = false, ctrl = false;
    int refused = 0;

private:
    Anchor::AnchorList list_;
    std::vector<SnapTarget> snaps_;
};

class CameraAnchorTest : public CameraFixture {
protected:
    // The camera anchor of the camera in a preview, or a failure.
    AnchorItem viewAnchor(const CameraControl& cam) {
        for (const AnchorItem& item : anchors(Render::kRenderPreview))
            if (item.owner == &cam && item.type == AnchorItem::kView) return item;
        ADD_FAILURE() << "no camera anchor";
        return AnchorItem(AnchorItem::kView, 0, nullptr, nullptr, nullptr, 0);
    }
    // A right drag of the anchor by (dx, dy) pixels in one step.
    static Anchor::AnchorEvent dragOf(const AnchorItem& view, DragHost& host, int32_t dx, int32_t dy) {
        Anchor::AnchorEvent event;
        event.control = &host;
        event.kind = Anchor::AnchorEvent::kRightDrag;
        event.object = view.object;
        event.effect = view.effect;
        event.id = view.id;
        event.flags = view.flags;
        event.matrix = view.matrix;
        event.position = view.position;
        event.vectorA = view.vectorA;
        event.vectorB = view.vectorB;
        event.referencePoint = view.referencePoint;
        event.viewport = {0, 0, static_cast<float>(kW), static_cast<float>(kH)};
        event.totalX = event.stepX = dx;
        event.totalY = event.stepY = dy;
        return event;
    }
    struct Point3 {
        double x, y, z;
    };
    Point3 eyeOf(CameraControl& cam, const std::shared_ptr<Edit::Object>& object) {
        Render::RenderContext context;
        context.scene = scene.get();
        context.setObject(object);
        return {cam.x.getValue(context), cam.y.getValue(context), cam.z.getValue(context)};
    }
    Point3 targetOf(CameraControl& cam, const std::shared_ptr<Edit::Object>& object) {
        Render::RenderContext context;
        context.scene = scene.get();
        context.setObject(object);
        return {cam.targetX.getValue(context), cam.targetY.getValue(context), cam.targetZ.getValue(context)};
    }

    std::vector<AnchorItem> anchors(Render::RenderTaskType tag) {
        std::vector<AnchorItem> out;
        worker.requestRenderingFrame(tag, 0, [&out](int32_t, Media::RenderBuffer&, Anchor::AnchorList* list) {
            if (list) out = list->items;
        });
        worker.waitAll();
        return out;
    }
    FreeViewCommands commands;
};

TEST_F(CameraAnchorTest, APreviewCarriesTheViewButtonAndTheCameraAnchor) {
    newScene(kW, kH);
    CameraControl& cam = camera(0, {300, -400, -500}, {100, 0, 0});
    EXPECT_TRUE(anchors(Render::kRenderExport).empty());

    const std::vector<AnchorItem> items = anchors(Render::kRenderPreview);
    const AnchorItem* icon = nullptr;
    const AnchorItem* view = nullptr;
    for (const AnchorItem& item : items) {
        if (item.owner != &cam) continue;
        if (item.type == AnchorItem::kIcon && item.id == AnchorItem::kViewModeIcon) icon = &item;
        if (item.type == AnchorItem::kView) view = &item;
    }
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->bitmap, &commands.icons[0]) << "the editable picture";
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->flags, CameraControl::kCameraAnchorFlags);
    EXPECT_EQ(view->id, 0) << "on the first key";
    EXPECT_FLOAT_EQ(view->position.x, 200);
    EXPECT_FLOAT_EQ(view->position.y, -400);
    EXPECT_FLOAT_EQ(view->position.z, -500);
    EXPECT_FLOAT_EQ(view->vectorB.x, 100);
    const double d = std::sqrt(200.0 * 200 + 400 * 400 + 500 * 500);
    EXPECT_NEAR(view->referencePoint.x, std::atan2(std::sqrt(200.0 * 200 + 500 * 500), -400), 1e-5);
    EXPECT_NEAR(view->referencePoint.y, std::atan2(200, -500), 1e-5);
    EXPECT_NEAR(view->referencePoint.z, d, 1e-2);
    EXPECT_EQ(view->referencePoint.w, 0) << "the target does not ride with the eye";
}

TEST_F(CameraAnchorTest, DraggingTheCameraAnchorOrbitsTheEyeAboutTheTarget) {
    struct Case {
        const char* name;
        int32_t totalX, totalY;
        double polar, azimuth;  // expected, from polar pi/2 and azimuth pi (eye at -z)
    };
    const double k = 2 * kPi * 0.0005;
    const Case cases[] = {
        {"across: round the vertical axis", 500, 0, kPi / 2, kPi + 500 * k},
        {"along: over the top", 0, -300, kPi / 2 - 300 * k, kPi},
        {"far along: stops short of the pole", 0, -5000, 0.001, kPi},
        {"far the other way: stops short of the other pole", 0, 5000, 3.1405928, kPi},
    };
    for (const Case& c : cases) {
        newScene(kW, kH);
        CameraControl& cam = camera(0, {0, 0, -1000}, {0, 0, 0});
        const std::vector<AnchorItem> items = anchors(Render::kRenderPreview);
        const AnchorItem* view = nullptr;
        for (const AnchorItem& item : items)
            if (item.owner == &cam && item.type == AnchorItem::kView) view = &item;
        ASSERT_NE(view, nullptr) << c.name;
        Anchor::AnchorEvent event;
        event.kind = Anchor::AnchorEvent::kRightDrag;
        event.object = view->object;
        event.effect = view->effect;
        event.id = view->id;
        event.flags = view->flags;
        event.vectorB = view->vectorB;
        event.referencePoint = view->referencePoint;
        event.totalX = event.stepX = c.totalX;
        event.totalY = event.stepY = c.totalY;
        EXPECT_TRUE(cam.anchorEvent(event)) << c.name;
        Render::RenderContext context;
        context.scene = scene.get();
        context.setObject(view->object);
        const double ex = cam.x.getValue(context), ey = cam.y.getValue(context), ez = cam.z.getValue(context);
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(ex, 1000 * std::sin(c.polar) * std::sin(c.azimuth), 0.02);
        EXPECT_NEAR(ey, 1000 * std::cos(c.polar), 0.02);
        EXPECT_NEAR(ez, 1000 * std::sin(c.polar) * std::cos(c.azimuth), 0.02);
    }
}

TEST_F(CameraAnchorTest, TheViewButtonSwitchesFreeView) {
    newScene(kW, kH);
    CameraControl& cam = camera(0);
    Anchor::AnchorEvent click;
    click.kind = Anchor::AnchorEvent::kClick;
    click.id = AnchorItem::kViewModeIcon;
    EXPECT_TRUE(cam.anchorEvent(click));
    EXPECT_TRUE(commands.freeView);
    EXPECT_TRUE(cam.anchorEvent(click));
    EXPECT_FALSE(commands.freeView);
}

// Shift pans eye and target together by the world move of the origin
// dragged the other way: at a depth of 1000 under a focal length of 1024, a
// pixel is 1000/1024 of a unit. Control moves the eye along the line to the
// target, never nearer than 4.
TEST_F(CameraAnchorTest, ShiftPansAndControlZoomsTheCamera) {
    struct Case {
        const char* name;
        bool shift, ctrl;
        int32_t dx, dy;
        Point3 eye, target;
    };
    const double k = 1000.0 / 1024;
    const Case cases[] = {
        {"pan right and down: the scene follows the pointer", true, false, 100, 40,
         {-100 * k, -40 * k, -1000}, {-100 * k, -40 * k, 0}},
        {"zoom out", false, true, 0, 50, {0, 0, -1400}, {0, 0, 0}},
        {"zoom in past the target stops 4 short of it", false, true, 0, -200, {0, 0, -4}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        newScene(kW, kH);
        CameraControl& cam = camera(0, {0, 0, -1000}, {0, 0, 0});
        const AnchorItem view = viewAnchor(cam);
        DragHost host;
        host.shift = c.shift;
        host.ctrl = c.ctrl;
        EXPECT_TRUE(cam.anchorEvent(dragOf(view, host, c.dx, c.dy)));
        const Point3 eye = eyeOf(cam, view.object), target = targetOf(cam, view.object);
        EXPECT_NEAR(eye.x, c.eye.x, 0.02);
        EXPECT_NEAR(eye.y, c.eye.y, 0.02);
        EXPECT_NEAR(eye.z, c.eye.z, 0.02);
        EXPECT_NEAR(target.x, c.target.x, 0.02);
        EXPECT_NEAR(target.y, c.target.y, 0.02);
        EXPECT_NEAR(target.z, c.target.z, 0.02);
        EXPECT_EQ(host.refused, 0);
    }
}

// Steps of one drag go on from where the last one left the orbit: a zoom,
// then an orbit at the new distance.
TEST_F(CameraAnchorTest, TheStepsOfADragCarryTheOrbitOn) {
    newScene(kW, kH);
    CameraControl& cam = camera(0, {0, 0, -1000}, {0, 0, 0});
    const AnchorItem view = viewAnchor(cam);
    DragHost host;
    host.ctrl = true;
    Anchor::AnchorEvent event = dragOf(view, host, 0, 25);  // to 1200
    EXPECT_TRUE(cam.anchorEvent(event));
    host.ctrl = false;
    event.stepX = 500;  // a quarter turn and a bit: 500 * 2 pi * 0.0005
    event.stepY = 0;
    EXPECT_TRUE(cam.anchorEvent(event));
    const double azimuth = 3.14159265358979 + 500 * 2 * 3.14159265358979 * 0.0005;
    const Point3 eye = eyeOf(cam, view.object);
    EXPECT_NEAR(eye.x, 1200 * std::sin(azimuth), 0.05);
    EXPECT_NEAR(eye.y, 0, 0.05);
    EXPECT_NEAR(eye.z, 1200 * std::cos(azimuth), 0.05);
}

// In free view the drag moves the scene's own camera and leaves the camera
// object alone; the point looked at keeps 256 away from the eye.
TEST_F(CameraAnchorTest, InFreeViewTheDragMovesTheScenesCamera) {
    struct Case {
        const char* name;
        bool ctrl;
        int32_t dy;
        std::array<double, 6> record;
    };
    const Case cases[] = {
        {"zoom out: 176 further", true, 22, {0, 0, -1176, 0, 0, 24}},
        {"zoom in: the target is pushed to 256 beyond the eye", true, -200, {0, 0, 20, 0, 0, 276}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        newScene(kW, kH);
        CameraControl& cam = camera(0, {300, -400, -500}, {100, 0, 0});
        scene->camera.values = {0, 0, -1000, 0, 0, 24};
        commands.freeView = true;
        commands.camera = &scene->camera;
        worker.cameraFreeView = 1;
        const AnchorItem view = viewAnchor(cam);
        EXPECT_EQ(view.referencePoint.w, 0);
        EXPECT_NEAR(view.referencePoint.z, 1024, 0.01) << "the scene camera's distance";
        DragHost host;
        host.ctrl = c.ctrl;
        EXPECT_TRUE(cam.anchorEvent(dragOf(view, host, 0, c.dy)));
        for (size_t i = 0; i < 6; ++i) EXPECT_NEAR(scene->camera.values[i], c.record[i], 0.02) << i;
        const Point3 eye = eyeOf(cam, view.object);
        EXPECT_NEAR(eye.x, 300, 1e-9);
        EXPECT_NEAR(eye.y, -400, 1e-9);
        EXPECT_NEAR(eye.z, -500, 1e-9);
    }
}

// A target that rides with the eye (the camera's own layer named as the
// target layer): Control moves the eye along the target offset, a plain
// drag moves it by the world move of the origin; the offset stays.
TEST_F(CameraAnchorTest, ACameraWhoseTargetRidesWithItMovesWhole) {
    struct Case {
        const char* name;
        bool ctrl;
        int32_t dx, dy;
        Point3 eye;
    };
    const Case cases[] = {
        {"along the offset", true, 0, 10, {0, 0, -1080}},
        {"sideways", false, 100, 0, {-100 * 1000.0 / 1024, 0, -1000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        newScene(kW, kH);
        CameraControl& cam = camera(0, {0, 0, -1000}, {0, 0, 100});
        cam.targetLayer.values = {1 * cam.targetLayer.scale};  // its own layer, the first
        const AnchorItem view = viewAnchor(cam);
        EXPECT_EQ(view.referencePoint.w, 1);
        DragHost host;
        host.ctrl = c.ctrl;
        EXPECT_TRUE(cam.anchorEvent(dragOf(view, host, c.dx, c.dy)));
        const Point3 eye = eyeOf(cam, view.object), target = targetOf(cam, view.object);
        EXPECT_NEAR(eye.x, c.eye.x, 0.02);
        EXPECT_NEAR(eye.y, c.eye.y, 0.02);
        EXPECT_NEAR(eye.z, c.eye.z, 0.02);
        EXPECT_NEAR(target.z, 100, 1e-9);
    }
}

// Items that cannot take a value at the dragged key refuse the drag: the
// not-allowed pointer, nothing changed.
TEST_F(CameraAnchorTest, ADragTheItemsCannotTakeIsRefused) {
    struct Case {
        const char* name;
        int32_t id;
        size_t eyeValues, targetValues;
    };
    const Case cases[] = {
        {"between keys, an eye that moves", Anchor::AnchorItem::kCurrentValue, 2, 1},
        {"on a key, a target with a value count that fits no key", 0, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        newScene(kW, kH);
        CameraControl& cam = camera(0, {0, 0, -1000}, {0, 0, 0});
        const AnchorItem view = viewAnchor(cam);
        for (Effect::EffectItemNumber* item : {&cam.x, &cam.y, &cam.z}) item->values.resize(c.eyeValues, item->values[0]);
        for (Effect::EffectItemNumber* item : {&cam.targetX, &cam.targetY, &cam.targetZ})
            item->values.resize(c.targetValues, item->values[0]);
        const auto before = cam.x.values;
        DragHost host;
        Anchor::AnchorEvent event = dragOf(view, host, 300, 0);
        event.id = c.id;
        EXPECT_TRUE(cam.anchorEvent(event));
        EXPECT_EQ(host.refused, 1);
        EXPECT_EQ(cam.x.values, before);
    }
}

}  // namespace
}  // namespace OutputTest
