#include <gtest/gtest.h>

#include <memory>

#include "BlurFixture.h"
#include "ColorFilterReference.h"
#include "effect/RenderContext.h"
#include "filters/BasicAlpha.h"
#include "filters/BasicAngle.h"
#include "filters/BasicExpand.h"
#include "filters/BasicInvert.h"
#include "filters/BasicMove.h"
#include "filters/BasicScale.h"

using namespace ColorReference;

namespace {

// The view changes: each effect returns the image it was given and adds to
// the placement the output made.
class BasicEffectsTest : public BlurFixture {};

TEST_F(BasicEffectsTest, ViewEffectsChangeTheOutputViewOnTopOfTheOutput) {
    Render::RenderContext context;
    auto image = std::make_shared<Media::ResourceBuffer>(4, 4);

    context.view.x = 50;
    Effect::BasicMove move;
    move.x.setValue(100, 0);
    move.y.setValue(-20.5, 0);
    EXPECT_EQ(move.filterVideo(context, image), image);
    EXPECT_EQ(move.filterVideo(context, image), image);
    EXPECT_FLOAT_EQ(context.view.x, 250);  // two moves add up
    EXPECT_FLOAT_EQ(context.view.y, -41);

    Effect::BasicScale scale;
    scale.zoom.setValue(50, 0);
    scale.x.setValue(200, 0);
    EXPECT_EQ(scale.filterVideo(context, image), image);
    EXPECT_FLOAT_EQ(context.view.scaleX, 1.0f);
    EXPECT_FLOAT_EQ(context.view.scaleY, 0.5f);
    EXPECT_FLOAT_EQ(context.view.scaleZ, 0.5f);

    Effect::BasicAlpha alpha;
    alpha.alpha.setValue(50, 0);
    (void)alpha.filterVideo(context, image);
    (void)alpha.filterVideo(context, image);
    EXPECT_FLOAT_EQ(context.view.opacity, 0.25f);
    alpha.alpha.setValue(100, 0);
    EXPECT_EQ(alpha.filterVideo(context, image), image);
    EXPECT_FLOAT_EQ(context.view.opacity, 0);

    Effect::BasicAngle angle;
    angle.x.setValue(10, 0);
    angle.z.setValue(-370.25, 0);
    context.view.rotationZ = 30;
    EXPECT_EQ(angle.filterVideo(context, image), image);
    EXPECT_FLOAT_EQ(context.view.rotationX, 10);
    EXPECT_FLOAT_EQ(context.view.rotationY, 0);
    EXPECT_FLOAT_EQ(context.view.rotationZ, -340.25f);
}

TEST_F(BasicEffectsTest, ExpandAddsTransparentOrRepeatedMargins) {
    const Pixels source = makePixels(9, 7, pattern);
    struct Case {
        const char* what;
        int top, bottom, left, right;
        bool fill;
    };
    const Case cases[] = {
        {"top only", 10, 0, 0, 0, false},
        {"every side", 2, 3, 4, 1, false},
        {"every side, edges repeated", 2, 3, 4, 1, true},
        {"left and right, edges repeated", 0, 0, 5, 6, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Effect::BasicExpand filter;
        filter.top.setValue(c.top, 0);
        filter.bottom.setValue(c.bottom, 0);
        filter.left.setValue(c.left, 0);
        filter.right.setValue(c.right, 0);
        filter.fill.value = c.fill;
        Render::RenderContext context;
        auto result = filter.filterVideo(context, upload(source));
        Pixels expected(9 + c.left + c.right, 7 + c.top + c.bottom);
        for (uint32_t y = 0; y < expected.height; ++y)
            for (uint32_t x = 0; x < expected.width; ++x) {
                int sx = int(x) - c.left, sy = int(y) - c.top;
                const bool inside = sx >= 0 && sy >= 0 && sx < 9 && sy < 7;
                if (!inside && !c.fill) continue;
                sx = std::clamp(sx, 0, 8);
                sy = std::clamp(sy, 0, 6);
                for (int k = 0; k < 4; ++k) expected.at(x, y, k) = source.at(sx, sy, k);
            }
        EXPECT_EQ(maxDifference(download(*result), expected), 0);
    }
    Effect::BasicExpand none;
    Render::RenderContext context;
    auto image = upload(source);
    EXPECT_EQ(none.filterVideo(context, image), image);
}

TEST_F(BasicEffectsTest, InvertFlipsAndInvertsInOrder) {
    auto prototype = std::make_shared<Effect::BasicInvert>();
    prototype->createCommonResource();
    const Pixels source = makePixels(11, 6, pattern);
    struct Case {
        const char* what;
        bool vertical, horizontal, luminance, hue, alpha;
    };
    const Case cases[] = {
        {"left-right", false, true, false, false, false},
        {"up-down", true, false, false, false, false},
        {"both flips", true, true, false, false, false},
        {"luminance", false, false, true, false, false},
        {"hue", false, false, false, true, false},
        {"luminance and hue in one pass", false, false, true, true, false},
        {"alpha", false, false, false, false, true},
        {"everything", true, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = std::static_pointer_cast<Effect::BasicInvert>(prototype->createInstance());
        filter->shareResource(*prototype);
        filter->flipVertical.value = c.vertical;
        filter->flipHorizontal.value = c.horizontal;
        filter->invertLuminance.value = c.luminance;
        filter->invertHue.value = c.hue;
        filter->invertAlpha.value = c.alpha;
        Render::RenderContext context;
        auto image = upload(source);
        auto result = filter->filterVideo(context, image);
        ASSERT_NE(result, image);

        Pixels expected(source.width, source.height);
        for (uint32_t y = 0; y < source.height; ++y)
            for (uint32_t x = 0; x < source.width; ++x) {
                const uint32_t sx = c.horizontal ? source.width - 1 - x : x;
                const uint32_t sy = c.vertical ? source.height - 1 - y : y;
                for (int k = 0; k < 4; ++k) expected.at(x, y, k) = source.at(sx, sy, k);
            }
        expected = map(expected, [&](const Rgba& t) {
            Rgba out = t;
            if ((c.luminance || c.hue) && out[3] >= 0.001) {
                Vec3 yuv = toYuv(straight(out));
                if (c.luminance) yuv[0] = 1 - yuv[0];
                if (c.hue) yuv = {yuv[0], -yuv[1], -yuv[2]};
                out = premultiplied(toRgb(yuv), out[3]);
            }
            if (c.alpha) out = out[3] < 0.001 ? Rgba{1, 1, 1, 1} : premultiplied(straight(out), 1 - out[3]);
            return out;
        });
        EXPECT_LT(maxDifference(download(*result), expected), 4e-3);
    }
    // No check on: the same image.
    auto filter = std::static_pointer_cast<Effect::BasicInvert>(prototype->createInstance());
    filter->shareResource(*prototype);
    EXPECT_EQ(filter->common, prototype->common);
    Render::RenderContext context;
    auto image = upload(source);
    EXPECT_EQ(filter->filterVideo(context, image), image);
}

}  // namespace
