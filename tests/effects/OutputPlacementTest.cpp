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

// A point of the image (pixels from its centre) on the screen, pixels from the top left.
std::array<double, 2> project(const Placement& c, double u, double v) {
    double sx = c.zoom / 100, sy = c.zoom / 100, sz = c.zoom / 100;
    if (c.aspect > 0) sx *= (100 - c.aspect) / 100;
    if (c.aspect < 0) sy *= (c.aspect + 100) / 100;
    Vec3 p{(u - c.centerX) * sx, (v - c.centerY) * sy, (0 - c.centerZ) * sz};
    p = turn(p, c.angleX, c.angleY, c.angleZ);
    p = {p.x + c.x, p.y + c.y, p.z + c.z};
    const double f = 1024 / (1024 + p.z);
    return {kFrameW / 2.0 + c.x + (p.x - c.x) * f, kFrameH / 2.0 + c.y + (p.y - c.y) * f};
}

class OutputPlacement : public OutputFixture {};

TEST_F(OutputPlacement, StandardDrawingPlacesTheImageAsTheReference) {
    frameSize(kFrameW, kFrameH);
    const Pixels image = gradient(kImageW, kImageH);
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

// An image at its own size, unturned and moved by whole pixels, has a texel
// centre under every pixel centre: the frame holds its texels exactly, each
// at its place, and nothing beside it.
TEST_F(OutputPlacement, StandardDrawingCopiesTheTexelsOfAnImageMovedByWholePixels) {
    struct Case {
        const char* name;
        uint32_t width, height;
        double x, y;
    };
    const Case cases[] = {
        {"unchanged", kImageW, kImageH, 0, 0},
        {"moved", kImageW, kImageH, 10, -6},
        {"partly outside the frame", kImageW, kImageH, -28, 20},
        {"filling the frame", kFrameW, kFrameH, 0, 0},
    };
    frameSize(kFrameW, kFrameH);
    auto object = add(0, gradient(kImageW, kImageH));
    auto& out = output<Effect::VideoOutput>(*object);
    for (const Case& c : cases) {
        const Pixels image = gradient(c.width, c.height);
        static_cast<PixelSource&>(*object->effects.front()).pixels = image;
        setItem(out.x, c.x);
        setItem(out.y, c.y);
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kFrameW) << c.name;
        const int left = static_cast<int>(kFrameW / 2 - c.width / 2 + c.x);
        const int top = static_cast<int>(kFrameH / 2 - c.height / 2 + c.y);
        int wrong = 0;
        for (uint32_t y = 0; y < frame.height; ++y)
            for (uint32_t x = 0; x < frame.width; ++x) {
                const int u = static_cast<int>(x) - left, v = static_cast<int>(y) - top;
                const bool in = u >= 0 && v >= 0 && u < static_cast<int>(c.width) && v < static_cast<int>(c.height);
                const float none[4] = {};
                const float* want = in ? image.at(static_cast<uint32_t>(u), static_cast<uint32_t>(v)) : none;
                const float* got = frame.at(x, y);
                if (std::equal(got, got + 4, want)) continue;
                if (++wrong <= 3)
                    ADD_FAILURE() << c.name << " at (" << x << ", " << y << "): got " << got[0] << " " << got[1]
                                  << " " << got[2] << " " << got[3] << ", want " << want[0] << " " << want[1] << " "
                                  << want[2] << " " << want[3];
            }
        EXPECT_EQ(wrong, 0) << c.name;
    }
}

}  // namespace
}  // namespace OutputTest
