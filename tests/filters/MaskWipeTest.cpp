// Wipes and masks: the transition masks drawn with the registered clipping
// and blurring filters, the wipe filter's phases, and the mask filter's
// placement of its picture.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "ClipFixture.h"
#include "OnePicture.h"
#include "edit/Object.h"
#include "effect/RenderContext.h"
#include "filters/AngleClipFilter.h"
#include "filters/LineClipFilter.h"
#include "filters/MaskFilter.h"
#include "filters/WipeFilter.h"
#include "media/gpu/ResourceService.h"
#include "media/resource/TransitionList.h"

using Effect::MaskFilter;
using Effect::WipeFilter;

namespace {

std::array<double, 4> opaqueWhite(uint32_t, uint32_t) { return {1, 1, 1, 1}; }

class MaskWipeTest : public ClipFixture {
protected:
    void SetUp() override {
        ClipFixture::SetUp();
        list = std::make_shared<Resource::TransitionList>(resources().paths, L"/nonexistent-folder/*.png");
        resources().transitions = list;
    }
    void TearDown() override {
        resources().transitions.reset();
        ClipFixture::TearDown();
    }
    std::shared_ptr<Resource::TransitionList> list;
};

// Alpha of the mask at the pixel, and which pixels a predicate expects opaque.
TEST_F(MaskWipeTest, ClockAndStraightWipesCoverWithTheProgress) {
    struct Case {
        const char* what;
        int index;
        float progress;
        bool (*covered)(double x, double y);  // pixel centre from the mask centre, y down
    };
    const Case cases[] = {
        {"clock at 0: nothing", 2, 0, [](double, double) { return false; }},
        {"clock at 1: everything", 2, 1, [](double, double) { return true; }},
        {"clock at 1/4: the quarter up and right", 2, 0.25f, [](double x, double y) { return x > 0 && y < 0; }},
        {"clock at 3/4: all but up and left", 2, 0.75f, [](double x, double y) { return !(x < 0 && y < 0); }},
        {"across at 0", 3, 0, [](double, double) { return false; }},
        {"across at 1/2: the left half", 3, 0.5f, [](double x, double) { return x < 0; }},
        {"across at 1", 3, 1, [](double, double) { return true; }},
        {"down at 1/4: the top quarter", 4, 0.25f, [](double, double y) { return y < -10; }},
        {"down at 1", 4, 1, [](double, double) { return true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto mask = list->transitions[size_t(c.index)].createMask(64, 40, c.progress, 0, false);
        ASSERT_TRUE(mask);
        ASSERT_EQ(mask->width, 64u);
        const Pixels px = download(*mask);
        for (uint32_t y = 0; y < 40; ++y)
            for (uint32_t x = 0; x < 64; ++x) {
                const double qx = x + 0.5 - 32, qy = y + 0.5 - 20;
                if (std::abs(qx) < 1.5 || std::abs(qy) < 1.5 || std::abs(qy + 10) < 1.5) continue;  // the soft edges
                ASSERT_NEAR(px.at(x, y, 3), c.covered(qx, qy) ? 1 : 0, 1e-3) << x << "," << y;
            }
    }
}

TEST_F(MaskWipeTest, BlurredShapeKeepsTheSizeAndSoftensTheEdge) {
    auto sharp = list->transitions[0].createMask(48, 48, 0.5f, 0, true);
    auto soft = list->transitions[0].createMask(48, 48, 0.5f, 6, true);
    ASSERT_TRUE(soft);
    EXPECT_EQ(soft->width, 48u);
    EXPECT_EQ(soft->height, 48u);
    const Pixels a = download(*sharp), b = download(*soft);
    EXPECT_NEAR(b.at(24, 24, 3), 1, 1e-3) << "the centre stays covered";
    EXPECT_NEAR(b.at(0, 0, 3), 0, 1e-3);
    // Radius 0.5 * sqrt(2) * 48 / 2 = 17: at the edge the blur gives about half.
    const uint32_t edge = 24 + 17;
    EXPECT_GT(b.at(edge, 24, 3), 0.2);
    EXPECT_LT(b.at(edge, 24, 3), 0.8);
    EXPECT_GT(b.at(edge + 2, 24, 3), a.at(edge + 2, 24, 3)) << "the blur reaches past the sharp edge";
}

// A 3-second object at 30 frames a second.
struct Timed {
    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 0, 90);
    Render::RenderContext at(double frame) {
        Render::RenderContext context;
        context.resetObject(object);
        context.frame = int32_t(frame);
        context.preciseFrame = frame;
        return context;
    }
};

TEST(WipePhases, ProgressRisesOverTheInAndFallsOverTheOut) {
    struct Case {
        double in, out;
        bool invertIn, invertOut;
        double elapsed, remaining;
        double progress;
        bool inverted;
    };
    const Case cases[] = {
        {0.5, 0.5, false, false, 0, 3, 0, false},     {0.5, 0.5, false, false, 0.25, 2.75, 0.5, false},
        {0.5, 0.5, false, false, 1.5, 1.5, 1, false}, {0.5, 0.5, false, false, 2.9, 0.1, 0.2, false},
        {0.5, 0.5, true, false, 0.1, 2.9, 0.2, true}, {0.5, 0.5, true, false, 2.9, 0.1, 0.2, false},
        {0, 0, true, true, 0, 0, 1, false},           {4, 4, false, true, 1, 2, 0.25, true},
    };
    for (const Case& c : cases) {
        double progress;
        const bool inverted =
            WipeFilter::progressAt(c.in, c.out, c.invertIn, c.invertOut, c.elapsed, c.remaining, progress);
        EXPECT_NEAR(progress, c.progress, 1e-12) << c.elapsed << " " << c.remaining;
        EXPECT_EQ(inverted, c.inverted) << c.elapsed << " " << c.remaining;
    }
}

TEST_F(MaskWipeTest, WipeFilterMasksTheImageInItsPhases) {
    struct Case {
        const char* what;
        double frame;
        int kind;
        bool invertIn;
        double centreAlpha, cornerAlpha;
    };
    const Case cases[] = {
        {"the first frame is hidden", 0, 0, false, 0, 0},
        {"a quarter in, the circle has begun", 3.75, 0, false, 1, 0},
        {"inverted, the circle is cut out instead", 3.75, 0, true, 0, 1},
        {"between the phases untouched", 45, 0, false, 1, 1},
        {"a wipe beyond the list leaves the image", 0, 20, false, 1, 1},
    };
    Timed timed;
    const Pixels source = makePixels(40, 40, opaqueWhite);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = instance<WipeFilter>();
        set(filter->blur, 0);
        filter->kind.index = c.kind;
        filter->invertIn.value = c.invertIn;
        Render::RenderContext context = timed.at(c.frame);
        const Pixels px = download(*filter->filterVideo(context, upload(source)));
        EXPECT_NEAR(px.at(20, 20, 3), c.centreAlpha, 1e-3);
        EXPECT_NEAR(px.at(0, 0, 3), c.cornerAlpha, 1e-3);
        EXPECT_NEAR(px.at(20, 20, 0), c.centreAlpha, 1e-3) << "colour goes with alpha";
    }
}

TEST_F(MaskWipeTest, MaskPlacesItsPictureOverTheImage) {
    struct Case {
        const char* what;
        uint32_t pictureWidth, pictureHeight;
        double size, aspect, angle, x, y;
        bool invert, fit;
        // The kept rectangle around the image centre moved by (x, y), in
        // pixels: half width and half height; negative: nothing kept.
        double halfWidth, halfHeight;
    };
    const Case cases[] = {
        {"size 20 keeps a 20 square", 16, 16, 20, 0, 0, 0, 0, false, false, 10, 10},
        {"moved by X and Y", 16, 16, 20, 0, 0, 8, -5, false, false, 10, 10},
        {"aspect 50 halves the width", 16, 16, 20, 50, 0, 0, 0, false, false, 5, 10},
        {"aspect -50 halves the height", 16, 16, 20, -50, 0, 0, 0, false, false, 10, 5},
        {"a 2:1 picture is sized by its longer side", 16, 8, 20, 0, 0, 0, 0, false, false, 10, 5},
        {"turned 90 degrees", 16, 8, 20, 0, 90, 0, 0, false, false, 5, 10},
        {"fitted covers the object, aspect ignored", 16, 8, 20, 100, 0, 0, 0, false, true, 30, 20},
        {"size 0 hides the object", 16, 16, 0, 0, 0, 0, 0, false, false, -1, -1},
        {"aspect 100 unfitted hides it too", 16, 16, 20, 100, 0, 0, 0, false, false, -1, -1},
    };
    // The mask item's pictures: one solid white picture of the case's size.
    OnePicture pictures;
    const Pixels source = makePixels(60, 40, colours);
    for (const Case& c : cases)
        for (bool invert : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.what << (invert ? ", inverted" : ""));
            pictures.picture = upload(makePixels(c.pictureWidth, c.pictureHeight, opaqueWhite));
            auto filter = instance<MaskFilter>();
            set(filter->size, c.size);
            set(filter->aspect, c.aspect);
            set(filter->angle, c.angle);
            set(filter->x, c.x);
            set(filter->y, c.y);
            filter->invert.value = invert;
            filter->fitSize.value = c.fit;
            Render::RenderContext context;
            const Pixels px = download(*filter->filterVideo(context, upload(source)));
            // The bilinear border blends over one picture texel at the mask's edge.
            const double margin =
                1 + 2 * std::max(c.halfWidth, c.halfHeight) / std::min(c.pictureWidth, c.pictureHeight);
            for (uint32_t y = 0; y < 40; ++y)
                for (uint32_t x = 0; x < 60; ++x) {
                    const double dx = std::abs(x + 0.5 - 30 - c.x), dy = std::abs(y + 0.5 - 20 - c.y);
                    if (std::abs(dx - c.halfWidth) < margin || std::abs(dy - c.halfHeight) < margin) continue;
                    const bool inside = dx < c.halfWidth && dy < c.halfHeight;
                    const double kept = (inside != invert) ? 1 : 0;
                    ASSERT_NEAR(px.at(x, y, 3), kept, 1e-3) << x << "," << y;
                    ASSERT_NEAR(px.at(x, y, 0), kept * source.at(x, y, 0), 2e-3) << x << "," << y;
                }
        }
    // No picture (an empty file choice, a deleted scene): the object stays as it is.
    pictures.picture = nullptr;
    auto filter = instance<MaskFilter>();
    Render::RenderContext context;
    EXPECT_EQ(maxDifference(download(*filter->filterVideo(context, upload(source))), source), 0);
}

// The blur grows the mask by its margin: the soft edge lies outside the sharp one.
TEST_F(MaskWipeTest, MaskBlurSoftensTheEdgeOutward) {
    OnePicture pictures;
    pictures.picture = upload(makePixels(20, 20, opaqueWhite));
    auto filter = instance<MaskFilter>();
    set(filter->size, 20);
    set(filter->blur, 4);
    Render::RenderContext context;
    const Pixels px = download(*filter->filterVideo(context, upload(makePixels(60, 40, opaqueWhite))));
    EXPECT_NEAR(px.at(30, 20, 3), 1, 1e-3);
    EXPECT_NEAR(px.at(0, 0, 3), 0, 1e-3);
    // The 20 picture grows to 28 and is drawn at 28 x 20 / 20: the edge at
    // 10 from the centre fades out to 14.
    EXPECT_GT(px.at(38, 20, 3), px.at(40, 20, 3));
    EXPECT_GT(px.at(40, 20, 3), px.at(42, 20, 3));
    EXPECT_GT(px.at(42, 20, 3), 0.01);
    EXPECT_NEAR(px.at(30 + 15, 20, 3), 0, 1e-3);
    EXPECT_NEAR(px.at(30, 20 - 15, 3), 0, 1e-3);
}

// An image source hands the same cached image to its filters frame after
// frame: the cuts and masks draw on their own copy, so the same frame comes
// out the same every time, and a frame after a cut one is not cut twice.
TEST_F(MaskWipeTest, CutsLeaveTheImageTheyWereGivenAsItWas) {
    OnePicture pictures;
    pictures.picture = upload(makePixels(16, 16, opaqueWhite));
    Timed timed;
    const struct Case {
        const char* what;
        std::function<std::shared_ptr<Effect::EffectBase>()> make;
        // The frames drawn in a row: each compared with the same frame drawn
        // from a fresh image.
        std::vector<double> frames;
    } cases[] = {
        {"line cut with a soft edge",
         [&] {
             auto f = instance<Effect::LineClipFilter>();
             set(f->blur, 8);
             return std::shared_ptr<Effect::EffectBase>(f);
         },
         {10, 10, 10}},
        {"line cut band",
         [&] {
             auto f = instance<Effect::LineClipFilter>();
             set(f->width, 10);
             return std::shared_ptr<Effect::EffectBase>(f);
         },
         {10, 11, 12}},
        {"sector cut",
         [&] {
             auto f = instance<Effect::AngleClipFilter>();
             set(f->rangeAngle, 90);
             set(f->blur, 4);
             return std::shared_ptr<Effect::EffectBase>(f);
         },
         {10, 10, 10}},
        {"mask",
         [&] {
             auto f = instance<MaskFilter>();
             set(f->size, 20);
             set(f->blur, 2);
             return std::shared_ptr<Effect::EffectBase>(f);
         },
         {10, 10, 10}},
        {"mask of size 0", [&] {
             auto f = instance<MaskFilter>();
             set(f->size, 0);
             return std::shared_ptr<Effect::EffectBase>(f);
         },
         {10, 10}},
        {"wipe in, then between the phases",
         [&] {
             auto f = instance<WipeFilter>();
             set(f->blur, 0);
             return std::shared_ptr<Effect::EffectBase>(f);
         },
         {0, 3.75, 45, 45}},
    };
    const Pixels source = makePixels(40, 40, colours);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = c.make();
        const auto held = upload(source);
        for (double frame : c.frames) {
            SCOPED_TRACE(frame);
            Render::RenderContext context = timed.at(frame);
            const Pixels drawn = download(*filter->filterVideo(context, held));
            EXPECT_EQ(maxDifference(download(*held), source), 0) << "the held image is unchanged";
            context = timed.at(frame);
            const Pixels fresh = download(*filter->filterVideo(context, upload(source)));
            EXPECT_LT(maxDifference(drawn, fresh), 1e-6);
        }
    }
}

}  // namespace
