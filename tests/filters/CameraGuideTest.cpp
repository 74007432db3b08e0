// The camera's editing guides: drawn into preview frames only, on the ground
// plane seen through the camera, hidden behind the objects of the batch; and
// the target the camera reads from its target layer over time.
#include <gtest/gtest.h>

#include "effect/AnchorList.h"
#include "effect/LinearMove.h"
#include "filters/CameraFixture.h"

namespace OutputTest {
namespace {

using Effect::CameraControl;

constexpr uint32_t kW = 96, kH = 64;

TEST(CameraGrid, LinesRunFromMinusRangeToRangeInSteps) {
    struct Case {
        float range, step;
        int32_t lines;
    };
    for (const Case c : {Case{10000, 200, 101}, Case{100, 30, 7}, Case{0, 200, 1}, Case{100, 0, 0}})
        EXPECT_EQ(CameraControl::gridLineCount(c.range, c.step), c.lines) << c.range << " " << c.step;
}

class CameraGuideTest : public CameraFixture {
protected:
    Pixels draw(Render::RenderTaskType tag) {
        Pixels out;
        worker.requestRenderingFrame(tag, 0, [&out](int32_t, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
            out = readFrame(buffer);
        });
        worker.waitAll();
        return out;
    }
};

// Looking down at the ground from above, the grid line along z through x = 0
// runs down the middle of the frame and the line along x at z = 0 across it
// through the target; the next lines lie outside this small frame. Exports
// show none of it.
TEST_F(CameraGuideTest, TheGroundGridShowsInThePreviewOnly) {
    newScene(kW, kH);
    camera(0, {0, -500, -1000}, {0, 0, 0});
    worker.cameraGridRange = 1000;
    worker.cameraGridStep = 100;
    const Pixels exported = draw(Render::kRenderExport);
    ASSERT_EQ(exported.width, kW);
    for (float v : exported.rgba) ASSERT_EQ(v, 0.0f);

    const Pixels preview = draw(Render::kRenderPreview);
    ASSERT_EQ(preview.width, kW);
    auto alphaNear = [&](uint32_t x, uint32_t y) {
        float a = 0;
        for (uint32_t dx = 0; dx < 2; ++dx) a = std::max(a, preview.at(x - 1 + dx, y)[3]);
        return a;
    };
    for (uint32_t y = 2; y < kH; y += 6) EXPECT_GT(alphaNear(kW / 2, y), 0.3f) << y;
    // Across the frame centre: the line at z = 0 through the target.
    float across = 0;
    for (uint32_t y = kH / 2 - 1; y <= kH / 2 + 1; ++y) across = std::max(across, preview.at(10, y)[3]);
    EXPECT_GT(across, 0.3f);
    // Between the lines the frame stays clear.
    EXPECT_EQ(preview.at(20, 10)[3], 0.0f);
    EXPECT_EQ(preview.at(70, 50)[3], 0.0f);

    // With the grid switched off, the preview is the export.
    worker.cameraGrid = 0;
    EXPECT_EQ(draw(Render::kRenderPreview).rgba, exported.rgba);
}

TEST_F(CameraGuideTest, AnOpaqueObjectHidesTheGridBehindIt) {
    newScene(kW, kH);
    camera(0, {0, -500, -1000}, {0, 0, 0});
    worker.cameraGridRange = 1000;
    worker.cameraGridStep = 100;
    // An upright object standing on the target, across the grid.
    add(1, flat(40, 40, 0, 0, 1));
    const Pixels preview = draw(Render::kRenderPreview);
    ASSERT_EQ(preview.width, kW);
    // Above the centre the object hides the ground behind it: its colour alone.
    const float* behind = preview.at(kW / 2, kH / 2 - 8);
    EXPECT_NEAR(behind[0], 0, 0.01f);
    EXPECT_NEAR(behind[2], 1, 0.01f);
    // Below it the ground lies in front of the object: the grid over it.
    float grey = 0;
    for (uint32_t x = kW / 2 - 1; x <= kW / 2; ++x) grey = std::max(grey, preview.at(x, kH / 2 + 8)[0]);
    EXPECT_GT(grey, 0.2f);
}

// In free view the preview looks through the scene's own camera, here from
// behind the focal plane straight back at the camera object's eye: through
// the open end every pixel of the frustum shows one side from inside, the
// light side through the corners at +h/2 below the axis and a dark one
// above it, each at a third of full cover. Outside the frustum the frame
// stays clear; without free view none of it is drawn.
TEST_F(CameraGuideTest, FreeViewShowsTheCamerasFrustumWithFilledSides) {
    newScene(kW, kH);
    camera(0, {0, 0, -1000}, {0, 0, 0});
    worker.cameraGrid = 0;
    scene->camera.values = {0, 0, 1500, 0, 0, 0};
    const Pixels own = draw(Render::kRenderPreview);
    ASSERT_EQ(own.width, kW);
    for (float v : own.rgba) ASSERT_EQ(v, 0.0f) << "the camera's own view shows no frustum";

    worker.cameraFreeView = 1;
    const Pixels free = draw(Render::kRenderPreview);
    ASSERT_EQ(free.width, kW);
    // The corners of the focal plane (z 24) seen from 1476 away lie about
    // 33 and 22 pixels off the centre; the corner lines run from the
    // centre to them, well away from these points on the vertical axis.
    struct Case {
        const char* name;
        uint32_t x, y;
        float colour, alpha;
    };
    const Case cases[] = {
        {"below the axis: the light side", kW / 2, kH / 2 + 10, 0.3f, 0.3f},
        {"above the axis: a dark side", kW / 2, kH / 2 - 10, 0, 0.3f},
        {"left of the axis: a dark side", kW / 2 - 20, kH / 2, 0, 0.3f},
        {"outside the frustum", 4, 4, 0, 0},
    };
    for (const Case& c : cases) {
        const float* p = free.at(c.x, c.y);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], c.colour, 0.02f) << c.name << " channel " << k;
        EXPECT_NEAR(p[3], c.alpha, 0.02f) << c.name;
    }
}

}  // namespace
}  // namespace OutputTest

namespace OutputTest {
namespace {

// The target layer item moving from one layer to another: the target moves
// from the object on the first to the object on the second.
TEST_F(CameraGuideTest, TheTargetFollowsTheTargetLayerOverTime) {
    newScene(kW, kH);
    CameraControl& cam = camera(0);
    static const Effect::LinearMove linear;
    cam.targetLayer.movement = &linear;
    cam.targetLayer.values = {2 * cam.targetLayer.scale, 3 * cam.targetLayer.scale};
    setItem(output<Effect::VideoOutput>(*add(1, flat(4, 4, 1, 0, 0))).x, -100);
    setItem(output<Effect::VideoOutput>(*add(2, flat(4, 4, 0, 1, 0))).x, 100);
    struct Case {
        int32_t frame;
        float x;
    };
    for (const Case c : {Case{0, -100}, Case{33, -100 + 200 * 33 / 99.0f}, Case{99, 100}}) {
        (void)render(c.frame);
        EXPECT_NEAR(cam.record.target.x, c.x, 1.0f) << c.frame;
        EXPECT_EQ(cam.targetLayerX.values.size(), 2u);
    }
}

}  // namespace
}  // namespace OutputTest
