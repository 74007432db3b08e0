// The three clipping filters: the line and sector cuts against the CPU
// reference of their edge, the crop's size, pixels and centre offset.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "ClipFixture.h"
#include "effect/RenderContext.h"
#include "filters/AngleClipFilter.h"
#include "filters/ClipFilter.h"
#include "filters/LineClipFilter.h"

using Effect::AngleClipFilter;
using Effect::ClipFilter;
using Effect::LineClipFilter;

namespace {

constexpr uint32_t W = 40, H = 30;

// The alpha left by the line cut at the pixel.
double lineFactor(uint32_t x, uint32_t y, double angle, int width, double cx, double cy, int blur) {
    const double qx = x + 0.5 - (W * 0.5 + cx), qy = y + 0.5 - (H * 0.5 + cy);
    const double a = radians(angle), length = blur + 1, range = width * 0.5;
    const double d = qx * std::sin(a) - qy * std::cos(a);
    if (width == 0) return smooth((d + length * 0.5) / length);
    const double s = range > 0 ? 1 : -1;
    return smooth((range - s * std::abs(d)) / length);
}

class ClipFilterTest : public ClipFixture {};

TEST_F(ClipFilterTest, LineCutKeepsOneSideOrABand) {
    struct Case {
        const char* what;
        double angle;
        int width;
        double cx, cy;
        int blur;
        // A pixel kept and one cut.
        uint32_t keptX, keptY, cutX, cutY;
    };
    const Case cases[] = {
        {"angle 0 keeps the upper half", 0, 0, 0, 0, 1, 20, 5, 20, 25},
        {"angle 90 keeps the right half", 90, 0, 0, 0, 1, 35, 15, 5, 15},
        {"moved centre and wide blur", 30, 0, 6, -4, 8, 35, 2, 2, 28},
        {"blur 0 still fades over one pixel", 0, 0, 0, 0.5, 0, 20, 0, 20, 29},
        {"a band of 10 along the line", 0, 10, 0, 0, 1, 20, 15, 20, 2},
        {"the band of 10 cut", 0, -10, 0, 0, 1, 20, 2, 20, 15},
        {"a turned band", 45, 12, -3, 2, 3, 17, 17, 39, 0},
    };
    const Pixels source = makePixels(W, H, colours);
    auto filter = instance<LineClipFilter>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto image = upload(source);
        filter->clipLine(*image, float(c.angle), c.width, float(c.cx), float(c.cy), c.blur);
        const Pixels out = download(*image);
        const Pixels expected = scaled(source, [&](uint32_t x, uint32_t y) {
            return lineFactor(x, y, c.angle, c.width, c.cx, c.cy, c.blur);
        });
        EXPECT_LT(maxDifference(out, expected), 3e-3);
        EXPECT_NEAR(out.at(c.keptX, c.keptY, 3), 1, 1e-3);
        EXPECT_NEAR(out.at(c.cutX, c.cutY, 3), 0, 1e-3);
    }
}

TEST_F(ClipFilterTest, LineFilterReadsItsItems) {
    auto filter = instance<LineClipFilter>();
    set(filter->angle, 90);
    set(filter->width, 0);
    set(filter->blur, 0);
    set(filter->centerX, 5);
    Render::RenderContext context;
    auto image = upload(makePixels(W, H, colours));
    const auto out = filter->filterVideo(context, image);
    EXPECT_NE(out, image) << "the held image is not cut";
    const Pixels px = download(*out);
    EXPECT_NEAR(px.at(26, 10, 3), 1, 1e-3);
    EXPECT_NEAR(px.at(24, 10, 3), 0, 1e-3);
}

// The alpha left by the sector cut, from the sector's own geometry: the
// angle of the pixel from the ray pointing left, clockwise on screen.
bool inSector(uint32_t x, uint32_t y, double base, double range) {
    const double qx = x + 0.5 - W * 0.5, qy = y + 0.5 - H * 0.5;
    double angle = std::atan2(-qy, -qx) * 180 / 3.14159265358979;  // 0 left, 90 up
    angle = std::fmod(angle - base + 720, 360.0);
    return angle < range;
}

TEST_F(ClipFilterTest, SectorCutFollowsTheBaseAndRangeAngles) {
    struct Case {
        const char* what;
        double base, range;
        bool centred;
        // The sector expected cut, measured from the left ray clockwise.
        double cutFrom, cutRange;
    };
    const Case cases[] = {
        {"quarter above and left", 0, 90, false, 0, 90},
        {"quarter above and right", 90, 90, false, 90, 90},
        {"270 keeps the quarter below left", 0, 270, false, 0, 270},
        {"a negative range measures the other way", 0, -90, false, -90, 90},
        {"centred on the base angle", 0, 90, true, -45, 90},
        {"centred with a negative range", 0, -90, true, 135, 90},
        {"a narrow wedge", 200, 40, false, 200, 40},
        {"just below half a turn", 10, 179, false, 10, 179},
    };
    const Pixels source = makePixels(W, H, colours);
    auto filter = instance<AngleClipFilter>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto image = upload(source);
        filter->clipSector(*image, float(c.base), float(c.range), 0, 0, 0, c.centred);
        const Pixels out = download(*image);
        // Away from the soft edges the sector is cut and the rest untouched.
        int checked = 0;
        for (uint32_t y = 0; y < H; ++y)
            for (uint32_t x = 0; x < W; ++x) {
                const double qx = x + 0.5 - W * 0.5, qy = y + 0.5 - H * 0.5;
                if (std::hypot(qx, qy) < 4) continue;
                const bool cut = inSector(x, y, c.cutFrom, c.cutRange);
                const bool nearEdge = inSector(x, y, c.cutFrom - 8, c.cutRange + 16) != cut ||
                                      inSector(x, y, c.cutFrom + 8, c.cutRange - 16) != cut;
                if (nearEdge) continue;
                ++checked;
                ASSERT_NEAR(out.at(x, y, 3), cut ? 0 : 1, 1e-3) << x << "," << y;
                ASSERT_NEAR(out.at(x, y, 0), cut ? 0 : source.at(x, y, 0), 2e-3);
            }
        EXPECT_GT(checked, 300);
    }
}

// The soft edge is the smoothstep of the distance to the nearer ray over
// blur + 1, widened near the apex: far from it, a pixel 1 from the start ray
// outside the sector with blur 3 keeps smooth((2 + 1) / 4).
TEST_F(ClipFilterTest, SectorEdgeFadesOverTheBlur) {
    const Pixels source = makePixels(W, H, colours);
    auto filter = instance<AngleClipFilter>();
    auto image = upload(source);
    // Base 90: the start ray points up from (20, 15); pixel centres at x = 21.5 lie 1.5 right of it.
    filter->clipSector(*image, 90, 90, 0, 0, 3, false);
    const Pixels out = download(*image);
    // Inside the sector (right of the ray) at 1.5 from it: (2 - 1.5) / 4; outside at 1.5: (2 + 1.5) / 4.
    EXPECT_NEAR(out.at(21, 2, 3), 1 - smooth((2 + 1.5) / 4), 3e-3);
    EXPECT_NEAR(out.at(18, 2, 3), 1 - smooth((2 - 1.5) / 4), 3e-3);
}

TEST_F(ClipFilterTest, SectorRangeZeroKeepsAndFullTurnClears) {
    const Pixels source = makePixels(W, H, colours);
    auto filter = instance<AngleClipFilter>();
    for (double range : {0.0, 360.0, -360.0}) {
        SCOPED_TRACE(range);
        auto image = upload(source);
        filter->clipSector(*image, 30, float(range), 0, 0, 1, false);
        const Pixels expected = range == 0 ? source : scaled(source, [](uint32_t, uint32_t) { return 0.0; });
        EXPECT_LT(maxDifference(download(*image), expected), 1e-6);
    }
}

TEST_F(ClipFilterTest, CropChangesTheSizeAndKeepsThePlaceOnScreen) {
    struct Case {
        const char* what;
        int top, bottom, left, right;
        bool moveCenter;
        uint32_t width, height;
        float centerX, centerY;
    };
    const Case cases[] = {
        {"left 10 only", 0, 0, 10, 0, false, 30, 30, -5, 0},
        {"all four edges", 3, 7, 4, 2, false, 34, 20, -1, 2},
        {"centred on the position", 3, 7, 4, 2, true, 34, 20, 0, 0},
    };
    const Pixels source = makePixels(W, H, colours);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = instance<ClipFilter>();
        set(filter->top, c.top);
        set(filter->bottom, c.bottom);
        set(filter->left, c.left);
        set(filter->right, c.right);
        filter->moveCenter.value = c.moveCenter;
        Render::RenderContext context;
        const auto out = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(out);
        ASSERT_EQ(out->width, c.width);
        ASSERT_EQ(out->height, c.height);
        const Pixels px = download(*out);
        Pixels expected(c.width, c.height);
        for (uint32_t y = 0; y < c.height; ++y)
            for (uint32_t x = 0; x < c.width; ++x)
                for (int k = 0; k < 4; ++k) expected.at(x, y, k) = source.at(x + c.left, y + c.top, k);
        EXPECT_EQ(maxDifference(px, expected), 0);
        EXPECT_FLOAT_EQ(context.view.centerX, c.centerX);
        EXPECT_FLOAT_EQ(context.view.centerY, c.centerY);
    }
}

TEST_F(ClipFilterTest, CropOfNothingHandsTheImageOnAndOfEverythingEndsTheChain) {
    auto filter = instance<ClipFilter>();
    Render::RenderContext context;
    auto image = upload(makePixels(W, H, colours));
    EXPECT_EQ(filter->filterVideo(context, image), image);
    set(filter->left, 25);
    set(filter->right, 15);
    EXPECT_EQ(filter->filterVideo(context, image), nullptr) << "left + right = width";
    set(filter->left, 0);
    set(filter->right, 0);
    set(filter->top, 4000);
    EXPECT_EQ(filter->filterVideo(context, image), nullptr);
}

}  // namespace
