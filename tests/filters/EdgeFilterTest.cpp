#include <gtest/gtest.h>

#include <cmath>

#include "FilterPassFixture.h"
#include "filters/EdgeFilter.h"

namespace {

// Blocks of colour, a gradient and soft alpha: edges of every kind.
std::array<double, 4> blocks(uint32_t x, uint32_t y) {
    const double a = x < 3 ? 0.0 : (x < 6 ? 0.5 : 1.0);
    const double r = (x / 5 + y / 4) % 2 ? 0.9 : 0.2, g = y * 0.04, b = (x * 7 + y * 3) % 5 * 0.2;
    return {r * a, g * a, b * a, a};
}

Pixels edges(const Pixels& s, int kind, double limit, double ratio, const std::array<double, 3>& colour) {
    Pixels t(s.width, s.height);
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            double v[3][3][3];  // [x][y][channel]
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) {
                    const auto c = CpuPass::clamped(s, long(x) + i - 1, long(y) + j - 1);
                    if (kind == 2) {
                        v[i][j][0] = c[3], v[i][j][1] = v[i][j][2] = 0;
                    } else {
                        v[i][j][0] = 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
                        v[i][j][1] = -0.169 * c[0] - 0.331 * c[1] + 0.5 * c[2];
                        v[i][j][2] = 0.5 * c[0] - 0.419 * c[1] - 0.081 * c[2];
                    }
                }
            double g = 0;
            for (int ch = 0; ch < (kind == 0 ? 3 : 1); ++ch) {
                double gx = 0, gy = 0;
                for (int i = 0; i < 3; ++i) gx += v[2][i][ch] - v[0][i][ch], gy += v[i][2][ch] - v[i][0][ch];
                g += std::sqrt(gx * gx + gy * gy);
            }
            const double k = std::clamp((g - limit) * ratio, 0.0, 1.0) * s.at(x, y, 3);
            for (int c = 0; c < 3; ++c) t.at(x, y, c) = k * colour[c];
            t.at(x, y, 3) = k;
        }
    return t;
}

using EdgeTest = FilterPassFixture;

TEST_F(EdgeTest, EdgesOfBrightnessColourOrAlpha) {
    struct Case {
        const char* what;
        bool luminance, alpha;
        int kind;
        double strength, threshold;
    };
    const Case cases[] = {
        {"brightness", true, false, 1, 100, 0},
        {"brightness wins over alpha", true, true, 1, 300, 20},
        {"alpha", false, true, 2, 100, 10},
        {"colour", false, false, 0, 150, 5},
        {"threshold -100 fills the opaque parts", true, false, 1, 100, -100},
    };
    auto filter = make<Effect::EdgeFilter>();
    filter->color.red = 255, filter->color.green = 200, filter->color.blue = 0;
    const Pixels source = makePixels(20, 16, blocks);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        filter->luminanceEdge.value = c.luminance;
        filter->alphaEdge.value = c.alpha;
        set(filter->strength, c.strength);
        set(filter->threshold, c.threshold);
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        const Pixels expected = edges(source, c.kind, c.threshold * 0.01, c.strength * 0.01, {1, 200 / 255.0, 0});
        EXPECT_LT(maxDifference(download(*result), expected), 4e-3);
    }
}

// Turning one edge check on turns the other off; other events change nothing.
TEST_F(EdgeTest, EdgeChecksStayExclusive) {
    Effect::EdgeFilter filter;
    struct Case {
        const char* what;
        int32_t kind;
        bool changedLuminance;
        bool luminanceBefore, alphaBefore, luminanceAfter, alphaAfter, handled;
    };
    const Case cases[] = {
        {"alpha turned on", Effect::ItemEvent::kItemChanged, false, true, true, false, true, true},
        {"brightness turned on", Effect::ItemEvent::kItemChanged, true, true, true, true, false, true},
        {"one on alone", Effect::ItemEvent::kItemChanged, false, false, true, false, true, true},
        {"another event", Effect::ItemEvent::kSplit, false, true, true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        filter.luminanceEdge.value = c.luminanceBefore;
        filter.alphaEdge.value = c.alphaBefore;
        Effect::ItemEvent event;
        event.kind = c.kind;
        event.item = c.changedLuminance ? static_cast<Effect::EffectItem*>(&filter.luminanceEdge) : &filter.alphaEdge;
        EXPECT_EQ(filter.itemEvent(event), c.handled);
        EXPECT_EQ(bool(filter.luminanceEdge.value), c.luminanceAfter);
        EXPECT_EQ(bool(filter.alphaEdge.value), c.alphaAfter);
    }
}

}  // namespace
