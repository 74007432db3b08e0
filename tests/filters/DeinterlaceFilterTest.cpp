#include <gtest/gtest.h>

#include "FilterPassFixture.h"
#include "filters/DeinterlaceFilter.h"

namespace {

using DeinterlaceTest = FilterPassFixture;

// Rows of clearly different colour, so that a row taken from the wrong field shows.
std::array<double, 4> striped(uint32_t x, uint32_t y) {
    const double a = 0.4 + 0.1 * (y % 3) + 0.02 * x;
    return {(y % 2 ? 0.9 : 0.1) * a, (0.1 + 0.15 * y) * a, 0.05 * x * a, a};
}

Pixels deinterlaced(const Pixels& s, int method) {
    Pixels t(s.width, s.height);
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            const auto here = CpuPass::texel(s, x, y), above = CpuPass::clamped(s, x, long(y) - 1),
                       below = CpuPass::clamped(s, x, long(y) + 1);
            for (int c = 0; c < 4; ++c)
                t.at(x, y, c) = method == 2            ? (2 * here[c] + above[c] + below[c]) / 4
                                : int(y % 2) != method ? (above[c] + below[c]) / 2
                                                       : here[c];
        }
    return t;
}

TEST_F(DeinterlaceTest, RebuildsOneFieldOrBlendsBoth) {
    auto filter = make<Effect::DeinterlaceFilter>();
    // An odd height: the last row is rebuilt with itself as its missing neighbour.
    for (const uint32_t height : {7u, 6u}) {
        const Pixels source = makePixels(5, height, striped);
        for (int method = 0; method < 3; ++method) {
            SCOPED_TRACE(testing::Message() << "height " << height << " method " << method);
            filter->method.index = method;
            auto input = upload(source);
            auto result = filter->filterVideo(context, input);
            ASSERT_TRUE(result);
            EXPECT_NE(result.get(), input.get());
            EXPECT_LT(maxDifference(download(*result), deinterlaced(source, method)), 2e-3);
            EXPECT_LT(maxDifference(download(*input), source), 1e-6) << "the input is left alone";
        }
    }
}

}  // namespace
