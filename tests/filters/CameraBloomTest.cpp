// The camera's light bloom drawn on lavapipe when the batch closes, compared
// with the glow computed here: the over-bright part of the frame blurred
// ever wider and added to the frame four times.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "filters/CameraFixture.h"

namespace OutputTest {
namespace {

using Effect::CameraLightBloom;

constexpr uint32_t kW = 48, kH = 32;

TEST(CameraBloomRadii, TheBlurGrowsFromASixteenthToHalfTheDiffusion) {
    struct Case {
        int32_t diffusion;
        std::vector<int32_t> radii;
    };
    for (const Case& c : {Case{400, {25, 25, 50, 100, 200}}, Case{10, {0, 0, 1, 2, 5}}, Case{1, {0, 0, 0, 0, 0}}})
        EXPECT_EQ(CameraLightBloom::radii(c.diffusion), c.radii) << c.diffusion;
}

using Plane = std::vector<std::array<double, 4>>;

void boxBlur(Plane& image, int32_t r) {
    if (r <= 0) return;
    for (int pass = 0; pass < 2; ++pass) {
        Plane out(image.size());
        for (int32_t y = 0; y < static_cast<int32_t>(kH); ++y)
            for (int32_t x = 0; x < static_cast<int32_t>(kW); ++x) {
                std::array<double, 4> sum{};
                for (int32_t i = -r; i <= r; ++i) {
                    const int32_t sx = pass == 0 ? x + i : x, sy = pass == 0 ? y : y + i;
                    if (sx < 0 || sy < 0 || sx >= static_cast<int32_t>(kW) || sy >= static_cast<int32_t>(kH)) continue;
                    for (int k = 0; k < 4; ++k) sum[k] += image[sy * kW + sx][k];
                }
                for (int k = 0; k < 4; ++k) out[y * kW + x][k] = sum[k] / (2 * r + 1);
            }
        image = std::move(out);
    }
}

// The frame with the bloom of the strength (percent) and diffusion (pixels).
Plane bloom(Plane frame, double strength, int32_t diffusion) {
    const double s = strength / 100;
    if (s <= 0 || diffusion <= 0) return frame;
    Plane light(frame.size());
    for (size_t p = 0; p < frame.size(); ++p) {
        const auto& c = frame[p];
        const double k = std::max(0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2] - 1, 0.0);
        light[p] = {std::min(c[0] * k, 1.0), std::min(c[1] * k, 1.0), std::min(c[2] * k, 1.0), std::min(k, 1.0)};
    }
    const double factor = diffusion * s / 800;
    const std::vector<int32_t> radii = CameraLightBloom::radii(diffusion);
    boxBlur(light, radii[0]);
    for (size_t i = 1; i < radii.size(); ++i) {
        boxBlur(light, radii[i]);
        for (size_t p = 0; p < frame.size(); ++p) {
            for (int k = 0; k < 3; ++k) frame[p][k] += factor * light[p][k];
            frame[p][3] = factor * light[p][3] + (1 - light[p][3]) * frame[p][3];
        }
    }
    return frame;
}

class CameraBloomTest : public CameraFixture {};

TEST_F(CameraBloomTest, OverBrightPartsGlowIntoTheFrame) {
    struct Case {
        const char* name;
        double strength, diffusion;
    };
    const Case cases[] = {
        {"default strength, a wide diffusion", 100, 64},
        {"strong and narrow: the first two blurs are skipped", 250, 10},
        {"a fractional diffusion rounds half away from zero", 100, 23.5},
        {"no strength: nothing", 0, 64},
        {"no diffusion: nothing", 100, 0},
    };
    const Pixels background = flat(kW, kH, 0.5f, 0.5f, 0.5f);  // not over-bright: no glow of its own
    const Pixels spot = flat(10, 6, 1.6f, 1.2f, 0.8f);
    for (const Case& c : cases) {
        newScene(kW, kH);
        add(0, background);
        camera(1);
        auto& b = filterObject<CameraLightBloom>(2);
        setItem(b.strength, c.strength);
        setItem(b.diffusion, c.diffusion);
        auto object = add(3, spot);
        setItem(output<Effect::VideoOutput>(*object).x, -7);
        setItem(output<Effect::VideoOutput>(*object).y, 4);

        Plane before(kW * kH);
        for (uint32_t y = 0; y < kH; ++y)
            for (uint32_t x = 0; x < kW; ++x) {
                const bool inSpot = x >= kW / 2 - 12 && x < kW / 2 - 2 && y >= kH / 2 + 1 && y < kH / 2 + 7;
                const float* t = inSpot ? spot.at(0, 0) : background.at(x, y);
                before[y * kW + x] = {t[0], t[1], t[2], t[3]};
            }
        const Plane want = bloom(before, c.strength, static_cast<int32_t>(std::lround(c.diffusion)));
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kW) << c.name;
        int wrong = 0;
        for (uint32_t y = 0; y < kH; ++y)
            for (uint32_t x = 0; x < kW; ++x)
                for (int k = 0; k < 4; ++k) {
                    const double w = want[y * kW + x][k];
                    if (std::fabs(frame.at(x, y)[k] - w) > 0.004 + 0.004 * std::fabs(w) && wrong++ < 4)
                        ADD_FAILURE() << c.name << " at " << x << "," << y << " channel " << k << ": "
                                      << frame.at(x, y)[k] << " want " << w;
                }
        EXPECT_EQ(wrong, 0) << c.name;
    }
}

}  // namespace
}  // namespace OutputTest
