// The camera control's view of the objects of its layers, drawn through the
// render worker and compared with a reference computed here: each object
// placed in the scene, seen from the eye towards the target, rolled by the
// tilt and projected with the focal length around the frame centre.
#include <array>
#include <cmath>
#include <vector>

#include "effect/RenderContext.h"
#include "effects/CameraControl.h"
#include "effects/PlacementReference.h"

namespace OutputTest {
namespace {

using Effect::CameraControl;

constexpr uint32_t kFrameW = 64, kFrameH = 48, kImageW = 20, kImageH = 12;
constexpr double kRad = 3.14159265358979323846 / 180;

Pixels solid(float r, float g, float b, float a = 1) {
    Pixels p{kImageW, kImageH, {}};
    for (uint32_t i = 0; i < kImageW * kImageH; ++i) p.rgba.insert(p.rgba.end(), {r * a, g * a, b * a, a});
    return p.rounded();
}

Vec3 sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 unit(Vec3 a) {
    const double n = std::sqrt(dot(a, a));
    return {a.x / n, a.y / n, a.z / n};
}

struct Camera {
    Vec3 eye{0, 0, -1024}, target{0, 0, 0};
    double tilt = 0, fieldOfView = 0;
};

// An object's placement by its output.
struct Pose {
    double x = 0, y = 0, z = 0, angleX = 0, angleY = 0, angleZ = 0;
};

std::array<double, 2> project(const Camera& c, const Pose& o, double u, double v) {
    Vec3 p = turn({u, v, 0}, o.angleX, o.angleY, o.angleZ);
    p = {p.x + o.x, p.y + o.y, p.z + o.z};
    Vec3 target = c.target;
    if (target.x == c.eye.x && target.y == c.eye.y && target.z == c.eye.z) target.z += 1;
    const Vec3 zAxis = unit(sub(target, c.eye)), xAxis = unit(cross({0, 1, 0}, zAxis)), yAxis = cross(zAxis, xAxis);
    const Vec3 d = sub(p, c.eye);
    double xv = dot(d, xAxis), yv = dot(d, yAxis);
    const double zv = dot(d, zAxis);
    const double s = std::sin(c.tilt * kRad), k = std::cos(c.tilt * kRad);
    const double xt = xv * k - yv * s, yt = xv * s + yv * k;
    const double f = c.fieldOfView > 0 ? kFrameH / 2.0 / std::tan(c.fieldOfView * kRad / 2) : 1024;
    return {kFrameW / 2.0 + f * xt / zv, kFrameH / 2.0 + f * yt / zv};
}

class CameraCatalog : public AddedCatalog {
public:
    CameraCatalog() { camera_.createCommonResource(); }

private:
    const Effect::EffectBase* added(const std::wstring& name) const override {
        return name == CameraControl::kName ? &camera_ : nullptr;
    }

    CameraControl camera_;
};

class CameraView : public OutputFixture {
protected:
    void SetUp() override {
        OutputFixture::SetUp();
        frameSize(kFrameW, kFrameH);
    }
    CameraControl& camera(int32_t layer, const Camera& c, int32_t range = 0) {
        auto object = scene->createObject(CameraControl::kName, layer, 0, 99);
        scene->update();
        auto& cam = dynamic_cast<CameraControl&>(*object->effects.front());
        setItem(cam.x, c.eye.x);
        setItem(cam.y, c.eye.y);
        setItem(cam.z, c.eye.z);
        setItem(cam.targetX, c.target.x);
        setItem(cam.targetY, c.target.y);
        setItem(cam.targetZ, c.target.z);
        setItem(cam.tilt, c.tilt);
        setItem(cam.fieldOfView, c.fieldOfView);
        cam.layers.value = range;
        return cam;
    }
    std::shared_ptr<Edit::Object> placed(int32_t layer, const Pixels& image, const Pose& o, double transparency = 0) {
        auto object = add(layer, image);
        auto& out = output<Effect::VideoOutput>(*object);
        setItem(out.x, o.x);
        setItem(out.y, o.y);
        setItem(out.z, o.z);
        setItem(out.angleX, o.angleX);
        setItem(out.angleY, o.angleY);
        setItem(out.angleZ, o.angleZ);
        setItem(out.alpha, transparency);
        return object;
    }

    CameraCatalog cameras;
};

TEST_F(CameraView, ObjectsAreSeenThroughTheCameraAsTheReference) {
    struct Case {
        const char* name;
        Camera camera;
        Pose object;
    };
    const Case cases[] = {
        {"the default camera", {}, {6, -4}},
        {"an object turned in depth", {}, {10, 5, 100, 0, 35, 0}},
        {"the eye moved and looking back at the centre", {{150, -60, -800}, {0, 0, 0}}, {0, 0, 0, 30, 0, 10}},
        {"a rolled camera looking at a point", {{0, 0, -900}, {40, 10, 0}, 20}, {30, 10, 0}},
        {"a field of view of 90 degrees", {{0, 0, -24}, {0, 0, 0}, 0, 90}, {0, 0, 0, 0, 0, 15}},
        {"eye and target alike: looking along z", {{5, 5, -600}, {5, 5, -600}}, {0, 0, 0, 0, 20, 0}},
    };
    const Pixels image = gradient(kImageW, kImageH);
    for (const Case& c : cases) {
        scene = std::make_shared<Edit::Scene>(0, 0);
        frameSize(kFrameW, kFrameH);
        camera(0, c.camera);
        placed(1, image, c.object);
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kFrameW) << c.name;
        const double hw = kImageW / 2.0, hh = kImageH / 2.0;
        const auto& cam = c.camera;
        const auto& o = c.object;
        const PlacementResult r = comparePlacement(frame, image,
                                                   {project(cam, o, -hw, -hh), project(cam, o, hw, -hh),
                                                    project(cam, o, hw, hh), project(cam, o, -hw, hh)},
                                                   1.0f, c.name);
        EXPECT_EQ(r.wrong, 0) << c.name;
        EXPECT_GT(r.covered, 40) << c.name;
        EXPECT_GT(r.compared, static_cast<int>(kFrameW * kFrameH * 3 / 4)) << c.name;
    }
}

// Inside a batch the nearer surface wins whatever the layer order, and a
// transparent surface in front lies over the opaque one behind it.
TEST_F(CameraView, DepthDecidesWhatShowsInsideTheBatch) {
    struct Case {
        const char* name;
        bool frontOnLowerLayer;
        double frontTransparency;
        std::array<float, 4> want;  // at the frame centre
    };
    const Case cases[] = {
        {"nearer object on the lower layer", true, 0, {1, 0, 0, 1}},
        {"nearer object on the higher layer", false, 0, {1, 0, 0, 1}},
        {"half transparent in front", true, 50, {0.5f, 0.5f, 0, 1}},
        {"half transparent in front, drawn last", false, 50, {0.5f, 0.5f, 0, 1}},
    };
    for (const Case& c : cases) {
        scene = std::make_shared<Edit::Scene>(0, 0);
        frameSize(kFrameW, kFrameH);
        camera(0, {});
        const Pose front{0, 0, -100}, back{0, 0, 200};
        placed(c.frontOnLowerLayer ? 1 : 2, solid(1, 0, 0), front, c.frontTransparency);
        placed(c.frontOnLowerLayer ? 2 : 1, solid(0, 1, 0), back);
        // The frame is kept between renders: the second render must not see the first one's depths.
        (void)render();
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kFrameW) << c.name;
        const float* got = frame.at(kFrameW / 2, kFrameH / 2);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(got[k], c.want[k], 0.02f) << c.name << " channel " << k;
    }
}

TEST_F(CameraView, LayersBeyondTheRangeAreDrawnWithoutTheCamera) {
    camera(0, {{0, 0, -512}, {0, 0, 0}}, 1);  // twice as near: the covered object doubles in size
    placed(1, solid(1, 0, 0), {-20, 0});
    placed(2, solid(0, 1, 0), {20, 0});
    const Pixels frame = render();
    ASSERT_EQ(frame.width, kFrameW);
    // The covered object: 40 x 24 around (-40, 0) from the centre, cut by the frame's left edge.
    EXPECT_NEAR(frame.at(2, 24)[0], 1, 0.02f);
    EXPECT_NEAR(frame.at(2, 24 + 10)[0], 1, 0.02f);
    // The other: 20 x 12 around (20, 0) from the centre, as drawn without a camera.
    EXPECT_NEAR(frame.at(52 - 9, 24 - 5)[1], 1, 0.02f);
    EXPECT_NEAR(frame.at(52, 24 + 7)[1], 0, 0.02f);
}

}  // namespace
}  // namespace OutputTest
