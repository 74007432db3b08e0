#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

#include "core/Exception.h"
#include "effect/ControlView.h"
#include "effect/EffectBase.h"
#include "platform/math/Math.h"
#include "effect/AudioRenderContext.h"
#include "effect/RenderContext.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "support/TestModelQueries.h"

using namespace Platform::math;
using Effect::OutputView;

namespace {

void expectNear(const Matrix& a, const Matrix& b, float tolerance = 1e-4f) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], tolerance) << "at " << i << "," << j;
}

// An output effect that reports where it was asked from.
class ViewOutput : public Effect::EffectBase {
public:
    float tag = 0;
    int32_t seenSection = -1;
    Edit::Object* seenObject = nullptr;  // not owning: the object owns this effect
    ViewOutput() {
        name = L"view output";
        role = kOutput;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<ViewOutput>(); }
    OutputView getOutputView(Render::RenderContext& context) override {
        seenSection = context.section.index;
        seenObject = context.object.get();
        OutputView v;
        v.x = tag;
        return v;
    }
};

class FixedControl : public Effect::EffectBase, public Effect::ControlView {
public:
    Matrix world = translation(1, 2, 3), viewMatrix = scaling(2, 2, 2);
    FixedControl() {
        name = L"control";
        role = kControl;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<FixedControl>(); }
    Matrix getControlWorldMatrix() const override { return world; }
    Matrix getControlViewMatrix() const override { return viewMatrix; }
    OutputView getOutputView(Render::RenderContext&) override {
        OutputView v;
        v.y = 77;
        return v;
    }
};

std::shared_ptr<Edit::Object> makeObject(int32_t start, int32_t end, std::vector<int32_t> midpoints = {}) {
    auto o = std::make_shared<Edit::Object>(0, 0, 0);
    o->start = start;
    o->end = end;
    o->midpoints = std::move(midpoints);
    return o;
}

}  // namespace

TEST(OutputViewTest, DefaultsGiveAnIdentityObjectMatrix) {
    const OutputView v;
    EXPECT_FLOAT_EQ(v.opacity, 1.0f);
    EXPECT_FLOAT_EQ(v.gloss, 0.7f);
    EXPECT_EQ(v.scaleX, 1.0f);
    expectNear(v.getObjectMatrix(), identity(), 0);
    expectNear(v.getRotationMatrix(), identity(), 0);
}

TEST(OutputViewTest, ObjectMatrixOrder) {
    OutputView v;
    v.centerX = 10;
    v.scaleX = v.scaleY = v.scaleZ = 2;
    v.rotationZ = 90;
    v.x = 100;
    // (10, 0, 0) is the centre: it lands on the position.
    const Float3 p = transformCoord({10, 0, 0}, v.getObjectMatrix());
    EXPECT_NEAR(p.x, 100, 1e-4);
    EXPECT_NEAR(p.y, 0, 1e-4);
    // (11, 0, 0): one pixel right of the centre, scaled to 2, turned to +y.
    const Float3 q = transformCoord({11, 0, 0}, v.getObjectMatrix());
    EXPECT_NEAR(q.x, 100, 1e-4);
    EXPECT_NEAR(q.y, 2, 1e-4);
}

TEST(OutputViewTest, ScreenMatrixMapsThePlaneToClipSpace) {
    OutputView v;
    v.x = 300;
    v.y = -200;
    const int32_t w = 1920, h = 1080;
    const Matrix s = v.getScreenMatrix(w, h);
    // A point of z = 0 at the view's position.
    const Float3 c = transformCoord({300, -200, 0}, s);
    EXPECT_NEAR(c.x, 2.0f * 300 / w, 1e-5);
    EXPECT_NEAR(c.y, -2.0f * -200 / h, 1e-5);
    EXPECT_NEAR(c.z, 51.2f / 1024, 1e-6);
    // Another point of the plane lands pixel for pixel.
    const Float3 d = transformCoord({-500, 100, 0}, s);
    EXPECT_NEAR(d.x, 2.0f * -500 / w, 1e-5);
    EXPECT_NEAR(d.y, -2.0f * 100 / h, 1e-5);
    // Farther away is smaller and has a smaller depth value.
    const Float3 far = transformCoord({400, -200, 1024}, s);
    EXPECT_NEAR(far.x, (2.0f * 300 + 100) / w, 1e-5);
    EXPECT_LT(far.z, c.z);
}

TEST(OutputViewTest, ViewMatricesFollowTheControls) {
    // The view reads the frame's size through the reader the program installs;
    // this one answers 640 x 480 for the stand-in frame, which it never reads.
    struct Reader {
        Effect::FrameSizeReader previous = Effect::setFrameSizeReader(
            [](const Media::RenderBuffer&, int32_t& width, int32_t& height) { width = 640, height = 480; });
        ~Reader() { Effect::setFrameSizeReader(previous); }
    } reader;
    alignas(std::max_align_t) unsigned char frame[16] = {};
    OutputView v;
    v.frameBuffer = reinterpret_cast<Media::RenderBuffer*>(frame);
    v.z = 50;
    // Neither control: the screen matrix, and T(0, 0, -z) before it for the group view.
    expectNear(v.getViewMatrix(), v.getScreenMatrix(640, 480));
    expectNear(v.getGroupViewMatrix(), multiply(translation(0, 0, -50), v.getScreenMatrix(640, 480)));
    expectNear(v.getWorldMatrix(), v.getObjectMatrix());

    auto group = std::make_shared<FixedControl>();
    auto camera = std::make_shared<FixedControl>();
    camera->viewMatrix = rotationZ(0.5f);
    auto groupObject = makeObject(0, 10);
    groupObject->effects = {group};
    auto cameraObject = makeObject(0, 10);
    cameraObject->effects = {camera};

    v.groupControl = groupObject;
    expectNear(v.getWorldMatrix(), multiply(v.getObjectMatrix(), group->world));
    expectNear(v.getViewMatrix(), group->viewMatrix);
    expectNear(v.getGroupViewMatrix(), multiply(group->world, group->viewMatrix));
    expectNear(v.getWorldViewMatrix(), multiply(v.getWorldMatrix(), group->viewMatrix));

    v.cameraControl = cameraObject;
    expectNear(v.getViewMatrix(), camera->viewMatrix);
    expectNear(v.getGroupViewMatrix(), multiply(group->world, camera->viewMatrix));
    v.groupControl.reset();
    expectNear(v.getGroupViewMatrix(), camera->viewMatrix);
}

TEST(RenderContextTest, FreshContextDefaults) {
    const Render::RenderContext c;
    EXPECT_EQ(c.index, 0);
    EXPECT_EQ(c.count, 1);
    EXPECT_EQ(c.cameraAnchor, 1);
    EXPECT_EQ(c.firstClipping, 1);
    EXPECT_EQ(c.plainPlacement, 0);
    EXPECT_EQ(c.section.count, 1);
    const Render::AudioRenderContext a;
    EXPECT_FLOAT_EQ(a.leftGain, 1.0f);
    EXPECT_EQ(a.mediaFrameOffset, 0);
}

TEST(RenderContextTest, SetObjectLocatesOnlyWhenTheObjectChanges) {
    Render::RenderContext c;
    c.frame = 130;
    c.preciseFrame = 130.5;
    auto o = makeObject(100, 160, {20, 40});
    c.setObject(o);
    EXPECT_EQ(c.section.index, 1);
    EXPECT_DOUBLE_EQ(c.section.offset, 10.5);
    c.frame = 150;
    c.preciseFrame = 150;
    c.setObject(o);  // the same object: nothing changes
    EXPECT_EQ(c.section.index, 1);
    c.resetObject(o);
    EXPECT_EQ(c.section.index, 2);
    c.chain = std::make_shared<Render::ObjectChain>(Render::ObjectChain{o});
    Render::RenderContext copy = c;
    c.releaseObjects();
    EXPECT_FALSE(c.object);
    EXPECT_FALSE(c.chain);
    EXPECT_EQ(copy.object, o);  // copies keep their references
}

TEST(RenderContextTest, OutputViewComesFromTheChainsFirstObject) {
    auto output = std::make_shared<ViewOutput>();
    output->tag = 42;
    auto first = makeObject(0, 100, {50});
    first->effects = {nullptr, output};
    auto filter = makeObject(90, 100);
    Render::RenderContext c;
    c.frame = 95;
    c.preciseFrame = 95;
    c.chain = std::make_shared<Render::ObjectChain>(Render::ObjectChain{first, filter});
    c.resetObject(filter);
    const OutputView v = c.getOutputView();
    EXPECT_FLOAT_EQ(v.x, 42);
    // Evaluated with the first object current, in its own second section ...
    EXPECT_EQ(output->seenObject, first.get());
    EXPECT_EQ(output->seenSection, 1);
    // ... and the filter object is current again afterwards.
    EXPECT_EQ(c.object, filter);
    EXPECT_EQ(c.section.index, 0);
    EXPECT_DOUBLE_EQ(c.section.offset, 5);

    // A control heading the current object answers itself.
    auto control = makeObject(0, 100);
    control->effects = {std::make_shared<FixedControl>()};
    c.resetObject(control);
    EXPECT_FLOAT_EQ(c.getOutputView().y, 77);
}

TEST(RenderContextTest, AudioRangeOfAFrame) {
    Edit::Scene scene(0, 0);
    scene.videoRate = 30000;
    scene.videoScale = 1001;
    scene.audioRate = 48000;
    Render::RenderContext c;
    c.scene = &scene;
    c.frame = 10;
    c.resetObject(makeObject(3, 100));
    const Render::AudioRange r = c.getAudioRange();
    EXPECT_EQ(r.rate, 48000);
    EXPECT_EQ(r.first, std::llround(48000.0 * 10 * 1001 / 30000));
    EXPECT_EQ(r.count, std::llround(48000.0 * 11 * 1001 / 30000) - r.first);
    EXPECT_EQ(r.offset, r.first - std::llround(48000.0 * 3 * 1001 / 30000));
}
