// The standard drawing's placement compared with a reference computed here:
// the image quad moved, turned, zoomed and projected with the focal length
// 1024 around the object's own position, then sampled bilinearly.
#include <algorithm>
#include <array>
#include <cmath>

#include "effects/PlacementReference.h"

namespace OutputTest {
namespace {

struct Placement {
    const char* name;
    double x = 0, y = 0, z = 0;
    double centerX = 0, centerY = 0, centerZ = 0;
    double angleX = 0, angleY = 0, angleZ = 0;
    double zoom = 100, aspect = 0, transparency = 0;
};

constexpr uint32_t kFrameW = 64, kFrameH = 48, kImageW = 20, kImageH = 12;

// Red along x, green along y: a misplaced or mirrored texel shows.
Pixels gradient() {
    Pixels p{kImageW, kImageH, std::vector<float>(kImageW * kImageH * 4)};
    for (uint32_t y = 0; y < kImageH; ++y)
        for (uint32_t x = 0; x < kImageW; ++x) {
            float* t = p.at(x, y);
            t[0] = (x + 0.5f) / kImageW;
            t[1] = (y + 0.5f) / kImageH;
            t[2] = 0.25f;
            t[3] = 1;
        }
    return p.rounded();
}

struct Vec3 {
    double x, y, z;
};

// A point of the image (pixels from its centre) on the screen, pixels from the top left.
std::array<double, 2> project(const Placement& c, double u, double v) {
    double sx = c.zoom / 100, sy = c.zoom / 100, sz = c.zoom / 100;
    if (c.aspect > 0) sx *= (100 - c.aspect) / 100;
    if (c.aspect < 0) sy *= (c.aspect + 100) / 100;
    Vec3 p{(u - c.centerX) * sx, (v - c.centerY) * sy, (0 - c.centerZ) * sz};
    const double rad = 3.14159265358979323846 / 180;
    // Turned about z, then y, then x; positive angles turn clockwise seen along the axis.
    double s = std::sin(c.angleZ * rad), k = std::cos(c.angleZ * rad);
    p = {p.x * k - p.y * s, p.x * s + p.y * k, p.z};
    s = std::sin(c.angleY * rad), k = std::cos(c.angleY * rad);
    p = {p.x * k + p.z * s, p.y, -p.x * s + p.z * k};
    s = std::sin(c.angleX * rad), k = std::cos(c.angleX * rad);
    p = {p.x, p.y * k - p.z * s, p.y * s + p.z * k};
    p = {p.x + c.x, p.y + c.y, p.z + c.z};
    const double f = 1024 / (1024 + p.z);
    return {kFrameW / 2.0 + c.x + (p.x - c.x) * f, kFrameH / 2.0 + c.y + (p.y - c.y) * f};
}

class OutputPlacement : public OutputFixture {};

TEST_F(OutputPlacement, StandardDrawingPlacesTheImageAsTheReference) {
    frameSize(kFrameW, kFrameH);
    const Pixels image = gradient();
    auto object = add(0, image);
    auto& out = output<Effect::VideoOutput>(*object);
    const Placement cases[] = {
        {"unchanged"},
        {"moved", 10, -6},
        {"turned about its centre", 0, 0, 0, 4, 2, 0, 0, 0, 30},
        {"zoomed and widened", -5, 3, 0, 0, 0, 0, 0, 0, 0, 150, 40},
        {"flattened", 0, 0, 0, 0, 0, 0, 0, 0, 0, 200, -50},
        {"tilted in depth", 3, 2, 200, 0, 0, 0, 35, -25, 10},
        {"half transparent", 0, 0, 0, 0, 0, 0, 0, 0, 0, 100, 0, 40},
    };
    for (const Placement& c : cases) {
        setItem(out.x, c.x);
        setItem(out.y, c.y);
        setItem(out.z, c.z);
        setItem(out.centerX, c.centerX);
        setItem(out.centerY, c.centerY);
        setItem(out.centerZ, c.centerZ);
        setItem(out.angleX, c.angleX);
        setItem(out.angleY, c.angleY);
        setItem(out.angleZ, c.angleZ);
        setItem(out.zoom, c.zoom);
        setItem(out.aspect, c.aspect);
        setItem(out.alpha, c.transparency);
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kFrameW) << c.name;

        const double hw = kImageW / 2.0, hh = kImageH / 2.0;
        const float opacity = static_cast<float>(1 - c.transparency / 100);
        const PlacementResult r =
            comparePlacement(frame, image,
                             {project(c, -hw, -hh), project(c, hw, -hh), project(c, hw, hh), project(c, -hw, hh)},
                             opacity, c.name);
        EXPECT_EQ(r.wrong, 0) << c.name;
        EXPECT_GT(r.covered, 60) << c.name;  // the image was there to compare
        EXPECT_GT(r.compared, static_cast<int>(kFrameW * kFrameH * 3 / 4)) << c.name;
    }
}

}  // namespace
}  // namespace OutputTest
