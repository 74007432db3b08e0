#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>

#include "BlurFixture.h"
#include "effect/RenderContext.h"
#include "filters/BokashiFilter.h"

using Effect::BokashiFilter;

namespace {

// Blocks of premultiplied colour with alpha, some fully transparent, so that
// every pass has edges to carry.
std::array<double, 4> pattern(uint32_t x, uint32_t y) {
    const uint32_t cell = (x / 7) * 31 + (y / 5) * 17;
    const double a = (cell % 5) / 4.0;
    const double r = ((cell * 7) % 11) / 10.0, g = ((cell * 3) % 7) / 6.0, b = ((x + 2 * y) % 9) / 8.0;
    return {r * a, g * a, b * a, a};
}

std::array<double, 4> opaqueWhite(uint32_t, uint32_t) { return {1, 1, 1, 1}; }

class BokashiTest : public BlurFixture {
protected:
    void SetUp() override {
        prototype = std::make_shared<BokashiFilter>();
        prototype->createCommonResource();
    }
    std::shared_ptr<BokashiFilter> prototype;
};

// Radii, growth and the kernel of each mode, compared with the CPU blur.
TEST_F(BokashiTest, BlurSizesAndPixelsFollowTheBoxes) {
    struct Case {
        const char* what;
        uint32_t width, height;
        int size;
        float aspect;
        int mode;
        uint32_t expectWidth, expectHeight;
    };
    const Case cases[] = {
        {"grows by the size on each side", 100, 50, 5, 0, 0, 110, 60},
        {"size fixed repeats the edges", 100, 50, 5, 0, 2, 100, 50},
        {"size fixed with transparent outside", 100, 50, 5, 0, 1, 100, 50},
        {"size 1: one three-tap box per axis", 100, 50, 1, 0, 0, 102, 52},
        {"aspect 50 halves the vertical radius", 100, 50, 10, 0.5f, 0, 120, 60},
        {"aspect 100 blurs only across", 100, 50, 10, 1.0f, 0, 120, 50},
        {"aspect -100 blurs only down", 100, 50, 10, -1.0f, 0, 100, 70},
        {"aspect -30 shortens the horizontal radius", 40, 30, 10, -0.3f, 2, 40, 30},
        {"an unknown mode grows", 40, 30, 3, 0, 7, 46, 36},
        {"V + H 199: pixel shaders", 60, 40, 100, 0.005f, 0, 260, 238},
        {"V + H 200: compute shaders", 60, 40, 100, 0, 0, 260, 240},
        {"compute, edges repeated", 60, 40, 150, 0.2f, 2, 60, 40},
        {"compute, transparent outside", 60, 40, 150, -0.2f, 1, 60, 40},
        {"radius beyond the image", 8, 6, 30, 0, 2, 8, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Pixels source = makePixels(c.width, c.height, pattern);
        auto result = prototype->blurImage(upload(source), c.size, c.aspect, c.mode);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->width, c.expectWidth);
        EXPECT_EQ(result->height, c.expectHeight);
        const Pixels expected = CpuBlur::blur(source, c.size, c.aspect, c.mode);
        EXPECT_LT(maxDifference(download(*result), expected), 4e-3);
    }
}

// Each box kind and axis drawn with the pixel shader and with its running-sum
// twin gives the same image.
TEST_F(BokashiTest, PixelAndComputePassesAgree) {
    const Pixels source = makePixels(70, 45, pattern);
    for (int kind = 0; kind < 3; ++kind)
        for (bool vertical : {false, true})
            for (int radius : {1, 9, 60}) {
                SCOPED_TRACE(testing::Message()
                             << "kind " << kind << (vertical ? " down" : " across") << " radius " << radius);
                const uint32_t grow = kind == 0 ? 2 * radius : 0;
                const uint32_t w = source.width + (vertical ? 0 : grow), h = source.height + (vertical ? grow : 0);
                const size_t index = size_t(kind) * 2 + (vertical ? 1 : 0);
                auto& shaders = *prototype->common;
                auto drawn = prototype->drawBoxPass(upload(source), shaders.pixelShaders[index], w, h, radius);
                const uint32_t lanes = BokashiFilter::kComputeLanes;
                auto walked = prototype->dispatchBoxPass(upload(source), shaders.computeShaders[index], w, h, radius,
                                                         vertical ? (w + lanes - 1) / lanes : 1,
                                                         vertical ? 1 : (h + lanes - 1) / lanes);
                const Pixels expected = CpuBlur::box(source, vertical, radius, kind, vertical ? h : w);
                EXPECT_LT(maxDifference(download(*drawn), expected), 2e-3);
                EXPECT_LT(maxDifference(download(*walked), expected), 2e-3);
            }
}

TEST_F(BokashiTest, RadiusZeroReturnsTheImageItself) {
    auto image = upload(makePixels(10, 10, pattern));
    const Media::ResourceBuffer* given = image.get();
    EXPECT_EQ(prototype->blurImage(image, 0, 0, 0).get(), given);
    EXPECT_EQ(prototype->blurImage(image, -3, 0, 2).get(), given);
    EXPECT_EQ(prototype->expandBlur(image, 0).get(), given);
    EXPECT_EQ(prototype->drawBoxPass(image, prototype->common->pixelShaders[0], 20, 20, 0).get(), given);
    EXPECT_EQ(prototype->dispatchBoxPass(image, prototype->common->computeShaders[0], 20, 20, 0, 1, 1).get(), given);
}

// Mode 1 counts the outside as transparent, so an opaque image fades at its
// border; mode 2 repeats the edges and stays opaque.
TEST_F(BokashiTest, EdgeModes) {
    struct Case {
        int mode;
        double cornerAlpha, edgeAlpha;
    };
    // Size 8 on a 40 x 30 image: radii 4 + 4 per axis, a trapezoid reaching 8.
    // At the corner 5 * 5 / (9 * 9) of each box pair's taps fall inside.
    const double inside = (5.0 / 9) * (9.0 / 9 + 8.0 / 9 + 7.0 / 9 + 6.0 / 9 + 5.0 / 9) / 5;
    const Case cases[] = {{1, inside * inside, inside}, {2, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        auto result = prototype->blurImage(upload(makePixels(40, 30, opaqueWhite)), 8, 0, c.mode);
        const Pixels out = download(*result);
        ASSERT_EQ(out.width, 40u);
        EXPECT_NEAR(out.at(0, 0, 3), c.cornerAlpha, 3e-3);
        EXPECT_NEAR(out.at(20, 0, 3), c.edgeAlpha, 3e-3);
        EXPECT_NEAR(out.at(20, 15, 3), 1.0, 1e-3);
        EXPECT_NEAR(out.at(0, 0, 0), c.cornerAlpha, 3e-3);  // colour fades with alpha
    }
}

// expandBlur: two trailing boxes of the radius, growing by it on each side.
TEST_F(BokashiTest, ExpandBlurGrowsByTheRadius) {
    for (int radius : {3, 200}) {
        SCOPED_TRACE(radius);
        const Pixels source = makePixels(30, 20, pattern);
        auto result = prototype->expandBlur(upload(source), radius);
        Pixels expected = CpuBlur::box(source, true, radius, 0, source.height + 2 * radius);
        expected = CpuBlur::box(expected, false, radius, 0, source.width + 2 * radius);
        EXPECT_LT(maxDifference(download(*result), expected), 2e-3);
    }
}

// A growth past 16384 is clamped, and the boxes follow the clamped size: the
// content is cut alike on both sides, so its centre stays in the middle.
TEST_F(BokashiTest, GrowthClampsTo16384AroundTheCentre) {
    struct Case {
        const char* what;
        uint32_t width;
        int size;
    };
    const Case cases[] = {
        {"20000 wide, compute shaders", 16000, 2000},
        {"16600 wide, pixel shaders", 16300, 150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Pixels source = makePixels(c.width, 2, opaqueWhite);
        auto result = prototype->blurImage(upload(source), c.size, 1.0f, 0);
        ASSERT_EQ(result->width, 16384u);
        ASSERT_EQ(result->height, 2u);
        const Pixels out = download(*result);
        EXPECT_NEAR(out.at(8192, 1, 3), 1.0, 1e-3);
        double worst = 0;
        for (uint32_t x = 0; x < 16384; ++x)
            worst = std::max(worst, std::abs(out.at(x, 0, 3) - out.at(16383 - x, 0, 3)));
        EXPECT_LT(worst, 2e-3) << "the content is cut on one side";
        EXPECT_GT(out.at(0, 0, 3), 0.01);
        EXPECT_LT(maxDifference(out, CpuBlur::blur(source, c.size, 1.0f, 0)), 3e-3);
    }
}

// The filter step: items read at the frame, size fixed as mode 2, and the
// light-space variant that weighs bright parts exponentially.
TEST_F(BokashiTest, FilterStep) {
    struct Case {
        const char* what;
        int range;
        double aspectPercent;
        double strength;
        bool fixedSize;
        uint32_t expectWidth, expectHeight;
    };
    const Case cases[] = {
        {"default items", 5, 0, 0, false, 110, 60},
        {"size fixed", 5, 0, 0, true, 100, 50},
        {"aspect 50", 10, 50, 0, false, 120, 60},
        {"light strength 20", 6, 0, 20, false, 112, 62},
        {"light strength 0.4 rounds to 0", 6, 0, 0.4, true, 100, 50},
        {"light strength 60 with size fixed", 4, -30, 60, true, 100, 50},
    };
    const Pixels source = makePixels(100, 50, pattern);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = std::static_pointer_cast<BokashiFilter>(prototype->createInstance());
        filter->shareResource(*prototype);
        filter->range.values = {c.range};
        filter->aspect.values = {int32_t(std::lround(c.aspectPercent * 100))};
        filter->light.values = {int32_t(std::lround(c.strength * 10))};
        filter->fixedSize.value = c.fixedSize;
        Render::RenderContext context;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->width, c.expectWidth);
        EXPECT_EQ(result->height, c.expectHeight);
        const int strength = int(std::lround(c.strength));
        const float aspect = float(c.aspectPercent * 0.01);
        const int mode = c.fixedSize ? 2 : 0;
        Pixels expected;
        if (strength > 0) {
            const double base = 1.0f + 0.15f * float(strength);
            expected =
                CpuBlur::fromLightSpace(CpuBlur::blur(CpuBlur::lightSpace(source, base), c.range, aspect, mode), base);
        } else {
            expected = CpuBlur::blur(source, c.range, aspect, mode);
        }
        EXPECT_LT(maxDifference(download(*result), expected), 6e-3);
    }
}

// An image its source keeps unchanged (stamped) is blurred once for the same
// items: later frames get the kept result. Another stamp, changed items or an
// image without a stamp are blurred anew, with the right pixels.
TEST_F(BokashiTest, KeptBlurOfAStampedImage) {
    auto filter = std::static_pointer_cast<BokashiFilter>(prototype->createInstance());
    filter->shareResource(*prototype);
    Render::RenderContext context;
    filter->range.values = {4};
    const Pixels source = makePixels(40, 30, pattern);
    auto stamped = upload(source);
    stamped->contentStamp = Media::ResourceBuffer::newStamp();
    auto first = filter->filterVideo(context, stamped);
    ASSERT_TRUE(first);
    EXPECT_EQ(filter->filterVideo(context, stamped).get(), first.get()) << "same stamp and items";
    EXPECT_LT(maxDifference(download(*first), CpuBlur::blur(source, 4, 0, 0)), 4e-3);

    struct Case {
        const char* what;
        int range;
        int light;
        bool newStamp;
        bool stamped;
    };
    const Case cases[] = {
        {"another range", 6, 0, false, true},
        {"light strength", 6, 200, false, true},
        {"the source changed its contents", 6, 200, true, true},
        {"no stamp", 6, 200, false, false},
    };
    const Pixels white = makePixels(40, 30, opaqueWhite);
    auto previous = first;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        filter->range.values = {c.range};
        filter->light.values = {c.light};
        std::shared_ptr<Media::ResourceBuffer> input = stamped;
        if (c.newStamp) {
            input = upload(white);
            input->contentStamp = Media::ResourceBuffer::newStamp();
        } else if (!c.stamped) {
            input = upload(white);
        }
        auto result = filter->filterVideo(context, input);
        ASSERT_TRUE(result);
        EXPECT_NE(result.get(), previous.get());
        const Pixels& from = input == stamped ? source : white;
        const Pixels expected =
            c.light == 0 ? CpuBlur::blur(from, c.range, 0, 0)
                         : CpuBlur::fromLightSpace(CpuBlur::blur(CpuBlur::lightSpace(from, 4.0), c.range, 0, 0), 4.0);
        EXPECT_LT(maxDifference(download(*result), expected), 6e-3);
        auto again = filter->filterVideo(context, input);
        if (c.stamped)
            EXPECT_EQ(again.get(), result.get());
        else
            EXPECT_NE(again.get(), result.get());
        previous = again;
    }
}

TEST_F(BokashiTest, FilterIdentityAndLightSpaceClamp) {
    auto filter = std::static_pointer_cast<BokashiFilter>(prototype->createInstance());
    filter->shareResource(*prototype);
    Render::RenderContext context;
    filter->range.values = {0};
    auto image = upload(makePixels(12, 8, pattern));
    EXPECT_EQ(filter->filterVideo(context, image).get(), image.get());

    // Size 0 still passes through light space, which clamps colour to 0 .. 1.
    filter->light.values = {300};
    const Pixels wild = makePixels(12, 8, [](uint32_t x, uint32_t) -> std::array<double, 4> {
        return {x < 6 ? 1.5 : -0.2, 0.5, 2.0, 0.75};
    });
    auto result = filter->filterVideo(context, upload(wild));
    ASSERT_NE(result.get(), nullptr);
    const Pixels out = download(*result);
    ASSERT_EQ(out.width, 12u);
    EXPECT_NEAR(out.at(2, 3, 0), 1.0, 2e-3);
    EXPECT_NEAR(out.at(9, 3, 0), 0.0, 2e-3);
    EXPECT_NEAR(out.at(9, 3, 1), 0.5, 2e-3);
    EXPECT_NEAR(out.at(9, 3, 2), 1.0, 2e-3);
    EXPECT_NEAR(out.at(9, 3, 3), 0.75, 1e-3);  // alpha untouched
}

}  // namespace

namespace {

// The images the blur draws into come back to it when their last holder drops
// them, and later passes of the same size draw into them; an image someone
// still holds is never drawn over, and the caller's own image never joins.
TEST_F(BokashiTest, ImagesComeBackWhenDroppedAndOnlyThen) {
    const Pixels source = makePixels(32, 24, pattern);
    auto& spare = prototype->common->spare;
    auto held = upload(source);
    auto first = prototype->blurImage(held, 6, 0, 2);
    for (int mode : {2, 1, 2, 0}) {
        auto again = prototype->blurImage(upload(makePixels(32, 24, opaqueWhite)), 6, 0, mode);
        EXPECT_LE(spare.size(), BokashiFilter::CommonResource::kSpareImages);
        EXPECT_NE(again.get(), first.get());
        EXPECT_NE(again.get(), held.get());
    }
    for (const auto& kept : spare) {
        EXPECT_NE(kept.get(), first.get());
        EXPECT_NE(kept.get(), held.get());
    }
    EXPECT_LT(maxDifference(download(*held), source), 1e-6);
    EXPECT_LT(maxDifference(download(*first), CpuBlur::blur(source, 6, 0, 2)), 2e-3);

    const Media::ResourceBuffer* dropped = first.get();
    first.reset();
    ASSERT_FALSE(spare.empty());
    EXPECT_EQ(spare.back().get(), dropped);
    auto last = prototype->blurImage(held, 6, 0, 2);
    EXPECT_LT(maxDifference(download(*last), CpuBlur::blur(source, 6, 0, 2)), 2e-3);
    held.reset();  // not the blur's: destroyed, not kept
    for (const auto& kept : spare) EXPECT_NE(kept.get(), nullptr);

    // Dropped after the class's resource is gone: destroyed.
    auto orphan = prototype->blurImage(upload(source), 2, 0, 2);
    prototype.reset();
    orphan.reset();
}

}  // namespace
