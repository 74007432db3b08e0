// The filters that work on the render context or draw the object themselves:
// image loop, division, off-screen draw, fade and shake.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "ClipFixture.h"
#include "edit/Object.h"
#include "effect/RenderContext.h"
#include "filters/FadeFilter.h"
#include "filters/ImageLoop.h"
#include "filters/ObjectDivide.h"
#include "filters/QuakeFilter.h"
#include "filters/TempDraw.h"
#include "media/gpu/RenderBuffer.h"

using Effect::ImageLoop;
using Effect::ObjectDivide;

namespace {

// An output that notes where and what each object would be drawn.
class NotingOutput : public Effect::EffectBase {
public:
    struct Drawn {
        float x, y;
        int32_t index, count;
        std::shared_ptr<Media::ResourceBuffer> image;
    };
    std::vector<Drawn> drawn;
    NotingOutput() { role = kOutput; }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<NotingOutput>(); }
    void outputVideo(Render::RenderContext& context, Media::RenderBuffer&,
                     std::shared_ptr<Media::ResourceBuffer> image) override {
        drawn.push_back({context.view.x, context.view.y, context.index, context.count, image});
    }
    Effect::OutputView getOutputView(Render::RenderContext& context) override { return context.view; }
};

class PlacementTest : public ClipFixture {
protected:
    // An object of the filter after an input and the noting output, its
    // chain and a context at its first frame.
    Render::RenderContext chainOf(const std::shared_ptr<Effect::EffectBase>& filter) {
        object = std::make_shared<Edit::Object>(0, 0, 29);
        object->effects = {output, output, filter};
        Render::RenderContext context;
        context.chain = std::make_shared<Render::ObjectChain>(Render::ObjectChain{object});
        context.resetObject(object);
        context.view.frameBuffer = &frame;
        return context;
    }
    // The source's pixel at (x + dx, y + dy), wrapping around.
    static Pixels shifted(const Pixels& s, uint32_t width, uint32_t height, int dx, int dy) {
        Pixels out(width, height);
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x)
                for (int c = 0; c < 4; ++c) {
                    const int sx = ((int(x) + dx) % int(s.width) + int(s.width)) % int(s.width);
                    const int sy = ((int(y) + dy) % int(s.height) + int(s.height)) % int(s.height);
                    out.at(x, y, c) = s.at(uint32_t(sx), uint32_t(sy), c);
                }
        return out;
    }

    std::shared_ptr<NotingOutput> output = std::make_shared<NotingOutput>();
    std::shared_ptr<Edit::Object> object;
    Media::RenderBuffer frame{Media::Direct3DService::get()->pixelFormat, {1, 0}};
};

TEST_F(PlacementTest, LoopTilesTheImageIntoOneWithWrapAround) {
    struct Case {
        const char* what;
        int across, down;
        double ox, oy;
        int shiftX, shiftY;  // source pixels the pattern starts at
    };
    const Case cases[] = {
        {"1 x 1 is the image", 1, 1, 0, 0, 0, 0},
        {"3 x 2 holds six copies", 3, 2, 0, 0, 0, 0},
        {"half an image across starts in the middle", 2, 1, 0.5, 0, 5, 0},
        {"a whole image across is no shift", 2, 1, 1, 0, 0, 0},
        {"up by a quarter, wrapping", 1, 3, 0, -0.25, 0, -2},
    };
    // Partly transparent: nothing the new image held shows through.
    const Pixels source = makePixels(10, 8, [](uint32_t x, uint32_t y) {
        const double a = ((x + y) % 3) / 2.0;
        return std::array<double, 4>{a * x / 10, a * y / 8, a * 0.5, a};
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = instance<ImageLoop>();
        set(filter->columns, c.across);
        set(filter->rows, c.down);
        set(filter->offsetX, c.ox);
        set(filter->offsetY, c.oy);
        Render::RenderContext context;
        const auto out = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(out);
        ASSERT_EQ(out->width, 10u * c.across);
        ASSERT_EQ(out->height, 8u * c.down);
        EXPECT_LT(maxDifference(download(*out), shifted(source, out->width, out->height, c.shiftX, c.shiftY)), 2e-3);
    }
}

TEST_F(PlacementTest, LoopWiderThanTheLargestImageSqueezesTheTiles) {
    auto filter = instance<ImageLoop>();
    set(filter->columns, 2);
    Render::RenderContext context;
    const Pixels source = makePixels(10000, 2, [](uint32_t x, uint32_t) {
        return std::array<double, 4>{x < 5000 ? 1.0 : 0.0, 0, 0, 1};
    });
    const auto out = filter->filterVideo(context, upload(source));
    ASSERT_EQ(out->width, 16384u);
    const Pixels px = download(*out);
    // Two tiles of 8192, each red in its left half.
    for (uint32_t x : {100u, 4000u, 8292u, 12188u}) EXPECT_NEAR(px.at(x, 0, 0), 1, 1e-3) << x;
    for (uint32_t x : {4200u, 8000u, 12400u, 16300u}) EXPECT_NEAR(px.at(x, 0, 0), 0, 1e-3) << x;
}

TEST_F(PlacementTest, LoopAsObjectsDrawsEachTileThroughTheOutput) {
    struct Case {
        int across, down;
        uint32_t width, height;
        std::vector<std::pair<float, float>> places;
    };
    const Case cases[] = {
        {2, 1, 100, 10, {{-50, 0}, {50, 0}}},
        {2, 2, 10, 6, {{-5, -3}, {5, -3}, {-5, 3}, {5, 3}}},
        {3, 1, 10, 6, {{-10, 0}, {0, 0}, {10, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.across << " x " << c.down);
        auto filter = instance<ImageLoop>();
        set(filter->columns, c.across);
        set(filter->rows, c.down);
        set(filter->offsetX, 0.5);
        filter->separate.value = 1;
        output->drawn.clear();
        Render::RenderContext context = chainOf(filter);
        const Pixels source = makePixels(c.width, c.height, colours);
        EXPECT_EQ(filter->filterVideo(context, upload(source)), nullptr) << "the tiles are drawn already";
        ASSERT_EQ(output->drawn.size(), c.places.size());
        const int32_t tiles = c.across * c.down;
        for (size_t i = 0; i < c.places.size(); ++i) {
            const auto& d = output->drawn[i];
            EXPECT_FLOAT_EQ(d.x, c.places[i].first) << i;
            EXPECT_FLOAT_EQ(d.y, c.places[i].second) << i;
            EXPECT_EQ(d.index, int32_t(i));
            EXPECT_EQ(d.count, tiles);
            EXPECT_LT(maxDifference(download(*d.image), shifted(source, c.width, c.height, int(c.width / 2), 0)), 2e-3);
        }
        EXPECT_EQ(context.index, tiles);
        EXPECT_EQ(context.keepTransform, 1);
        EXPECT_FLOAT_EQ(context.view.x, 0) << "the incoming context stays in place";
    }
}

TEST_F(PlacementTest, DivisionSendsEachPieceThroughTheOutput) {
    auto filter = instance<ObjectDivide>();
    set(filter->columns, 3);
    set(filter->rows, 1);
    Render::RenderContext context = chainOf(filter);
    context.index = 1;
    context.count = 2;  // already one of two pieces
    const Pixels source = makePixels(10, 4, colours);
    EXPECT_EQ(filter->filterVideo(context, upload(source)), nullptr);
    const struct {
        uint32_t x0, width;
        float x;
    } pieces[] = {{0, 3, -3.5f}, {3, 3, -0.5f}, {6, 4, 3}};
    ASSERT_EQ(output->drawn.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const auto& d = output->drawn[i];
        ASSERT_EQ(d.image->width, pieces[i].width);
        EXPECT_FLOAT_EQ(d.x, pieces[i].x);
        EXPECT_EQ(d.index, int32_t(3 + i));
        EXPECT_EQ(d.count, 6);
        EXPECT_LT(maxDifference(download(*d.image), shifted(source, pieces[i].width, 4, int(pieces[i].x0), 0)), 1e-6);
    }
    EXPECT_EQ(Effect::ObjectDivide::multiplyPieces(1 << 20, 10000), INT32_MAX) << "nested divisions saturate";
}

// More pieces than pixels: the empty pieces are skipped but still counted.
TEST_F(PlacementTest, DivisionFinerThanThePixelsSkipsEmptyPieces) {
    auto filter = instance<ObjectDivide>();
    set(filter->columns, 3);
    set(filter->rows, 2);
    Render::RenderContext context = chainOf(filter);
    EXPECT_EQ(filter->filterVideo(context, upload(makePixels(2, 1, colours))), nullptr);
    ASSERT_EQ(output->drawn.size(), 2u);
    EXPECT_EQ(output->drawn[0].index, 4) << "the second row's second piece";
    EXPECT_EQ(output->drawn[1].index, 5);
    EXPECT_EQ(context.index, 6);
}

TEST_F(PlacementTest, OffScreenDrawPutsTheObjectIntoAFrameImageOnce) {
    frame.createTexture2D(64, 48);
    struct Reader {
        Effect::FrameSizeReader previous = Effect::setFrameSizeReader(&Media::renderBufferSize);
        ~Reader() { Effect::setFrameSizeReader(previous); }
    } reader;
    auto filter = instance<Effect::TempDraw>();
    Render::RenderContext context = chainOf(filter);
    context.view.x = 10;
    const auto image = upload(makePixels(20, 10, colours));
    const auto drawn = filter->filterVideo(context, image);
    ASSERT_TRUE(drawn);
    ASSERT_EQ(drawn->width, 64u);
    ASSERT_EQ(drawn->height, 48u);
    const Pixels px = download(*drawn);
    // The 20 x 10 object 10 right of the frame centre: x from 32 to 52.
    EXPECT_NEAR(px.at(50, 24, 3), 1, 1e-3) << "the object where it is in the frame";
    EXPECT_NEAR(px.at(28, 24, 3), 0, 1e-3);
    EXPECT_NEAR(px.at(5, 5, 3), 0, 1e-3);
    EXPECT_EQ(context.plainPlacement, 1);
    EXPECT_FLOAT_EQ(context.view.x, 0);
    EXPECT_EQ(filter->filterVideo(context, drawn), drawn) << "a second off-screen draw does nothing";
}

TEST(FadeFactor, RisesOverTheInAndFallsOverTheOut) {
    const struct {
        double in, out, elapsed, remaining, factor;
    } cases[] = {
        {0.5, 0.5, 0, 3, 0}, {0.5, 0.5, 0.25, 2.75, 0.5}, {0.5, 0.5, 1.5, 1.5, 1}, {0.5, 0.5, 2.9, 0.1, 0.2},
        {0.5, 0.5, 3, 0, 0}, {5, 0.5, 2, 1, 0.4},         {0, 0, 0, 0, 1},         {0.5, 0.5, 0.1, 0.05, 0.1},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(Effect::FadeFilter::factor(c.in, c.out, c.elapsed, c.remaining), c.factor, 1e-12)
            << c.elapsed << " " << c.remaining;
}

TEST(QuakeSwing, OneFramePeriodAlternatesAndLongerPeriodsSwingSmoothly) {
    const double frame = 1.0 / 30;
    const struct {
        double seconds;
        int32_t period;
        int64_t cycle;
        double swing;
    } cases[] = {
        {0, 1, 0, 1},
        {frame, 1, 1, -1},
        {2 * frame, 1, 2, 1},
        {0, 10, 0, 0},
        {5 * frame, 10, 0, 1},
        {15 * frame, 10, 1, -1},
        {2.5 * frame, 10, 0, std::sin(0.25 * 3.14159265358979)},
    };
    for (const auto& c : cases) {
        int64_t cycle;
        double e;
        Effect::QuakeFilter::swing(c.seconds, c.period, frame, cycle, e);
        EXPECT_EQ(cycle, c.cycle) << c.seconds;
        EXPECT_NEAR(e, c.swing, 1e-9) << c.seconds;
    }
}

TEST(QuakeStrength, SameSeedSameStrengthsAndEachPieceItsOwn) {
    double a[3], b[3], c[3];
    const int64_t seed = Effect::QuakeFilter::seed(0, 89, 0, 3);
    Effect::QuakeFilter::strengths(seed, 4, 0, a);
    Effect::QuakeFilter::strengths(seed, 4, 0, b);
    Effect::QuakeFilter::strengths(Effect::QuakeFilter::seed(0, 89, 1, 3), 4, 0, c);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a[i], b[i]);
        EXPECT_GE(a[i], 0);
        EXPECT_LT(a[i], 1);
    }
    EXPECT_NE(a[0], c[0]) << "two pieces shake apart";
    EXPECT_NE(a[0], a[1]);
    // Negative piece and layer numbers are sign-extended, not wrapped twice.
    EXPECT_EQ(Effect::QuakeFilter::seed(0, 0, 0, -1), -1);
}

TEST(QuakeStep, MovesThePositionByTheSwing) {
    auto object = std::make_shared<Edit::Object>(2, 0, 89);
    Effect::QuakeFilter filter;
    filter.randomStrength.value = 0;
    for (int frame = 0; frame < 3; ++frame) {
        Render::RenderContext context;
        context.resetObject(object);
        context.frame = frame;
        context.preciseFrame = frame;
        filter.filterVideo(context, nullptr);
        EXPECT_NEAR(context.view.x, frame % 2 == 0 ? 10 : -10, 1e-4) << frame;
        EXPECT_NEAR(context.view.y, frame % 2 == 0 ? 10 : -10, 1e-4) << frame;
        EXPECT_EQ(context.view.z, 0);
    }
    // Random strengths stay within the amplitude; the complex shake adds
    // octaves of half the weight, within twice it.
    filter.randomStrength.value = 1;
    filter.complex.value = 1;
    filter.period.setValue(8, 0);
    for (int frame = 0; frame < 40; ++frame) {
        Render::RenderContext context;
        context.resetObject(object);
        context.frame = frame;
        context.preciseFrame = frame;
        filter.filterVideo(context, nullptr);
        EXPECT_LE(std::abs(context.view.x), 20);
    }
}

}  // namespace
