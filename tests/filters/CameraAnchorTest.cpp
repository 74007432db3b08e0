// The camera's anchors in a preview render, and the drag of its camera
// anchor that orbits the eye about the target.
#include <gtest/gtest.h>

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
    bool displayObjectMovePoint() const override { return false; }
    bool displayObjectCenterAnchor() const override { return false; }
    bool anchorObjectMoveSnap() const override { return false; }

    bool freeView = false;
    int icons[3] = {};

private:
    AnchorCommands* previous_;
};

class CameraAnchorTest : public CameraFixture {
protected:
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
        event.totalX = c.totalX;
        event.totalY = c.totalY;
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

}  // namespace
}  // namespace OutputTest
