// The camera option's facing mode drawn on lavapipe: an object set to face
// the camera is turned so that its plane stands across the camera's viewing
// direction, so a turned camera sees it as an upright rectangle scaled by its
// distance, compared here with that rectangle.
#include <gtest/gtest.h>

#include <cmath>

#include "filters/CameraFixture.h"

namespace OutputTest {
namespace {

constexpr uint32_t kW = 128, kH = 96, kImageW = 24, kImageH = 16;

Vec3 minus(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot3(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross3(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 unit3(Vec3 a) {
    const double n = std::sqrt(dot3(a, a));
    return {a.x / n, a.y / n, a.z / n};
}

class CameraOptionTest : public CameraFixture {};

TEST_F(CameraOptionTest, AnObjectFacingTheCameraIsSeenUprightUnderATurnedCamera) {
    struct Case {
        const char* name;
        Vec3 eye, target, position;
    };
    const Case cases[] = {
        {"the camera turned to the right", {600, 0, -600}, {0, 0, 0}, {0, 0, 0}},
        {"the camera above and to the left", {-400, -500, -700}, {0, 0, 0}, {0, 0, 0}},
        {"an object off the centre of the view", {500, -200, -800}, {0, 0, 0}, {20, 10, 10}},
        {"the camera looking past the object", {300, 0, -900}, {-20, 5, 0}, {0, 0, 0}},
    };
    const Pixels image = gradient(kImageW, kImageH);
    for (const Case& c : cases) {
        newScene(kW, kH);
        camera(0, c.eye, c.target);
        auto object = add(1, image);
        auto& out = output<Effect::VideoOutput>(*object);
        setItem(out.x, c.position.x);
        setItem(out.y, c.position.y);
        setItem(out.z, c.position.z);
        filter<Effect::CameraOption>(object).orientation.index = 3;
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kW) << c.name;

        // The object's centre in the camera's view: the rectangle stands
        // across the view at that depth.
        const Vec3 z = unit3(minus(c.target, c.eye)), x = unit3(cross3({0, 1, 0}, z)), y = cross3(z, x);
        const Vec3 d = minus(c.position, c.eye);
        const double vx = dot3(d, x), vy = dot3(d, y), vz = dot3(d, z), f = 1024;
        // The facing turn uses the camera's direction, not the way to the
        // object: the rectangle is parallel to the view plane.
        const double cx = kW / 2.0 + f * vx / vz, cy = kH / 2.0 + f * vy / vz;
        const double hw = kImageW / 2.0 * f / vz, hh = kImageH / 2.0 * f / vz;
        const PlacementResult r =
            comparePlacement(frame, image, {{{cx - hw, cy - hh}, {cx + hw, cy - hh}, {cx + hw, cy + hh}, {cx - hw, cy + hh}}},
                             1.0f, c.name);
        EXPECT_EQ(r.wrong, 0) << c.name;
        EXPECT_GT(r.covered, 100) << c.name;
    }
}

TEST_F(CameraOptionTest, FacingTheCameraChangesNothingWithoutACamera) {
    const Pixels image = gradient(kImageW, kImageH);
    newScene(kW, kH);
    auto plain = add(0, image);
    setItem(output<Effect::VideoOutput>(*plain).angleY, 30);
    const Pixels without = render();
    filter<Effect::CameraOption>(plain).orientation.index = 3;
    EXPECT_EQ(render().rgba, without.rgba);
}

TEST_F(CameraOptionTest, BackFacesAreHiddenOnRequest) {
    const Pixels image = gradient(kImageW, kImageH);
    for (const bool hide : {false, true}) {
        newScene(kW, kH);
        camera(0);
        auto object = add(1, image);
        setItem(output<Effect::VideoOutput>(*object).angleY, 180);  // the back toward the camera
        filter<Effect::CameraOption>(object).hideBack.value = hide ? 1 : 0;
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kW);
        EXPECT_NEAR(frame.at(kW / 2, kH / 2)[3], hide ? 0.0f : 1.0f, 0.01f) << hide;
    }
}

}  // namespace
}  // namespace OutputTest

namespace OutputTest {
namespace {

// Of two option filters on one object the later one decides, also when it
// shows the back the earlier one hid.
TEST_F(CameraOptionTest, TheLaterOptionDecidesWhetherTheBackIsShown) {
    const Pixels image = gradient(kImageW, kImageH);
    for (const bool laterHides : {false, true}) {
        newScene(kW, kH);
        camera(0);
        auto object = add(1, image);
        setItem(output<Effect::VideoOutput>(*object).angleY, 180);
        filter<Effect::CameraOption>(object).hideBack.value = laterHides ? 0 : 1;
        filter<Effect::CameraOption>(object).hideBack.value = laterHides ? 1 : 0;
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kW);
        EXPECT_NEAR(frame.at(kW / 2, kH / 2)[3], laterHides ? 0.0f : 1.0f, 0.01f) << laterHides;
    }
}

}  // namespace
}  // namespace OutputTest
