// Drawing on off-screen and window targets, read back in pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/draw2d/Draw2d.h"
#include "platform/window/TopLevel.h"

namespace {
namespace D = Platform::draw2d;

uint32_t alphaOf(uint32_t pixel) { return pixel >> 24; }
uint32_t redOf(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
uint32_t blueOf(uint32_t pixel) { return pixel & 0xFF; }

class Target : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Platform::kOk, D::MemoryTarget::create(64, 64, target));
        target->beginDraw();
    }
    void TearDown() override {
        if (target->isDrawing()) {
            EXPECT_EQ(Platform::kOk, target->endDraw());
        }
    }
    // Coverage of pixel (x, y) drawn in opaque black: 0 to 255.
    uint32_t cover(int x, int y) { return alphaOf(target->pixel(x, y)); }
    void expectOn(int x, int y, const std::string& what) {
        EXPECT_GT(cover(x, y), 200u) << what << " at " << x << "," << y;
    }
    void expectOff(int x, int y, const std::string& what) {
        EXPECT_LT(cover(x, y), 55u) << what << " at " << x << "," << y;
    }

    std::unique_ptr<D::MemoryTarget> target;
    D::SolidColorBrush black{{0, 0, 0, 1}};
};

TEST_F(Target, OnePixelRectangleOnPixelCentresFillsWholePixels) {
    target->drawRectangle({0.5f, 0.5f, 9.5f, 9.5f}, black, 1, nullptr);
    ASSERT_EQ(Platform::kOk, target->endDraw());
    for (int i = 0; i <= 9; ++i) {
        EXPECT_EQ(255u, cover(i, 0)) << i;
        EXPECT_EQ(255u, cover(i, 9)) << i;
        EXPECT_EQ(255u, cover(0, i)) << i;
        EXPECT_EQ(255u, cover(9, i)) << i;
    }
    EXPECT_EQ(0u, cover(1, 1));
    EXPECT_EQ(0u, cover(8, 8));
    EXPECT_EQ(0u, cover(10, 5));
    EXPECT_EQ(0u, cover(5, 10));
}

TEST_F(Target, BeginAndEndOutOfOrderReportWrongState) {
    ASSERT_EQ(Platform::kOk, target->endDraw());
    EXPECT_EQ(D::kWrongState, target->endDraw());
    // Drawing outside begin/end is dropped and reported by the next end.
    target->fillRectangle({0, 0, 64, 64}, black);
    EXPECT_EQ(0u, cover(5, 5));
    target->beginDraw();
    EXPECT_EQ(D::kWrongState, target->endDraw());
    target->beginDraw();
    EXPECT_EQ(Platform::kOk, target->endDraw());
}

TEST_F(Target, ClipsLeftPushedAtEndAreReportedAndDropped) {
    target->pushAxisAlignedClip({0, 0, 4, 4}, D::AntialiasMode::Aliased);
    EXPECT_EQ(D::kPushPopUnbalanced, target->endDraw());
    target->beginDraw();
    EXPECT_EQ(0u, target->clipDepth());
    target->fillRectangle({0, 0, 64, 64}, black);
    ASSERT_EQ(Platform::kOk, target->endDraw());
    EXPECT_EQ(255u, cover(30, 30));
}

struct ClipCase {
    const char* name;
    D::RectF rect;
    D::Matrix3x2F transform;
    int insideLeft, insideTop, insideRight, insideBottom;  // the pixels filled, right and bottom exclusive
};

TEST_F(Target, AliasedClipTakesThePixelsWhoseCentresLieInside) {
    const ClipCase cases[] = {
        {"whole pixels", {10, 20, 30, 25}, {}, 10, 20, 30, 25},
        {"fractions", {10.4f, 10.6f, 20.5f, 20.5f}, {}, 10, 11, 20, 20},
        {"moved by the transform", {0, 0, 20, 10}, D::Matrix3x2F::translation(110 - 100, 60 - 50), 10, 10, 30, 20},
        {"scaled: bounds of the corners", {0, 0, 10, 5}, {2, 0, 0, 2, 1, 1}, 1, 1, 21, 11},
    };
    for (const ClipCase& c : cases) {
        target->clear({0, 0, 0, 0});
        target->setTransform(c.transform);
        target->pushAxisAlignedClip(c.rect, D::AntialiasMode::Aliased);
        target->setTransform({});
        target->fillRectangle({0, 0, 64, 64}, black);
        target->popAxisAlignedClip();
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const bool inside = x >= c.insideLeft && x < c.insideRight && y >= c.insideTop && y < c.insideBottom;
                ASSERT_EQ(inside ? 255u : 0u, cover(x, y)) << c.name << " at " << x << "," << y;
            }
    }
}

TEST_F(Target, NestedClipsIntersectAndPopRestoresTheOuterOne) {
    target->pushAxisAlignedClip({0, 0, 20, 20}, D::AntialiasMode::Aliased);
    target->pushAxisAlignedClip({10, 10, 40, 40}, D::AntialiasMode::Aliased);
    target->fillRectangle({0, 0, 64, 64}, black);
    EXPECT_EQ(0u, cover(5, 5));
    EXPECT_EQ(255u, cover(15, 15));
    EXPECT_EQ(0u, cover(25, 25));
    target->popAxisAlignedClip();
    target->fillRectangle({0, 0, 64, 64}, black);
    target->popAxisAlignedClip();
    EXPECT_EQ(255u, cover(5, 5));
    EXPECT_EQ(0u, cover(25, 25));
    EXPECT_EQ(0u, target->clipDepth());
}

std::unique_ptr<D::StrokeStyle> style(D::CapStyle cap, D::LineJoin join, float miter, D::DashStyle dash,
                                      std::vector<float> dashes = {}, float offset = 0) {
    D::StrokeStyleDesc d;
    d.startCap = d.endCap = d.dashCap = cap;
    d.lineJoin = join;
    d.miterLimit = miter;
    d.dashStyle = dash;
    d.dashOffset = offset;
    std::unique_ptr<D::StrokeStyle> out;
    EXPECT_EQ(Platform::kOk,
              D::StrokeStyle::create(d, dashes.empty() ? nullptr : dashes.data(), uint32_t(dashes.size()), out));
    return out;
}

struct DashCase {
    const char* name;
    std::unique_ptr<D::StrokeStyle> style;
    float width;
    float from, to;            // x of the horizontal line at y 10
    std::vector<int> on, off;  // columns of row 10 covered and not covered
};

TEST_F(Target, DashesAndCapsAreMeasuredInStrokeWidths) {
    DashCase cases[] = {
        {"custom 3 on 3 off, width 2",
         style(D::CapStyle::Flat, D::LineJoin::Miter, 10, D::DashStyle::Custom, {3, 3}),
         2,
         0,
         40,
         {0, 5, 12, 17, 24},
         {6, 11, 18, 23, 30}},
        {"dash, width 2: 2 on 2 off",
         style(D::CapStyle::Flat, D::LineJoin::Miter, 10, D::DashStyle::Dash),
         2,
         0,
         40,
         {0, 3, 8, 11},
         {4, 7, 12, 15}},
        {"custom with an offset of one width",
         style(D::CapStyle::Flat, D::LineJoin::Miter, 10, D::DashStyle::Custom, {1, 1}, 1),
         4,
         0,
         40,
         {4, 7, 12, 15},
         {0, 3, 8, 11}},
        {"flat caps end at the points",
         style(D::CapStyle::Flat, D::LineJoin::Miter, 10, D::DashStyle::Solid),
         4,
         10,
         20,
         {10, 19},
         {9, 20}},
        {"round caps reach half a width past",
         style(D::CapStyle::Round, D::LineJoin::Round, 1, D::DashStyle::Solid),
         4,
         10,
         20,
         {8, 21},
         {6, 23}},
        {"square caps reach half a width past",
         style(D::CapStyle::Square, D::LineJoin::Miter, 10, D::DashStyle::Solid),
         4,
         10,
         20,
         {8, 21},
         {7, 22}},
        {"dots with round caps",
         style(D::CapStyle::Round, D::LineJoin::Round, 1, D::DashStyle::Dot),
         4,
         10,
         40,
         {10, 18, 26},
         {14, 22, 30}},
        {"dots with flat caps draw nothing",
         style(D::CapStyle::Flat, D::LineJoin::Miter, 10, D::DashStyle::Dot),
         4,
         10,
         40,
         {},
         {10, 11, 18, 26}},
    };
    for (DashCase& c : cases) {
        target->clear({0, 0, 0, 0});
        target->drawLine({c.from, 10}, {c.to, 10}, black, c.width, c.style.get());
        for (int x : c.on) expectOn(x, 9, c.name);
        for (int x : c.off) expectOff(x, 9, c.name);
    }
}

TEST_F(Target, JoinsFollowTheStyleAndItsMiterLimit) {
    struct {
        const char* name;
        std::unique_ptr<D::StrokeStyle> style;
        bool cornerCovered;
    } cases[] = {
        {"miter", style(D::CapStyle::Flat, D::LineJoin::Miter, 10, D::DashStyle::Solid), true},
        {"bevel", style(D::CapStyle::Flat, D::LineJoin::Bevel, 1, D::DashStyle::Solid), false},
        {"miter cut by a limit of 1", style(D::CapStyle::Flat, D::LineJoin::Miter, 1, D::DashStyle::Solid), false},
        {"no style: miter", nullptr, true},
    };
    for (auto& c : cases) {
        target->clear({0, 0, 0, 0});
        D::PathGeometry path;
        D::GeometrySink* sink = nullptr;
        ASSERT_EQ(Platform::kOk, path.open(sink));
        sink->beginFigure({10, 30}, D::FigureBegin::Hollow);
        sink->addLine({30, 30});
        sink->addLine({30, 50});
        sink->endFigure(D::FigureEnd::Open);
        ASSERT_EQ(Platform::kOk, sink->close());
        target->drawGeometry(path, black, 6, c.style.get());
        // The outer corner of the miter, outside the bevel's cut.
        if (c.cornerCovered)
            expectOn(32, 27, c.name);
        else
            expectOff(32, 27, c.name);
        expectOn(20, 30, c.name);
    }
}

TEST(StrokeStyle, RefusesWhatCannotBeDrawn) {
    D::StrokeStyleDesc d;
    std::unique_ptr<D::StrokeStyle> out;
    const float dashes[] = {1, 2};
    const float negative[] = {1, -1};
    const float zeros[] = {0, 0};
    d.dashStyle = D::DashStyle::Custom;
    EXPECT_EQ(Platform::kInvalidArg, D::StrokeStyle::create(d, nullptr, 0, out)) << "custom without dashes";
    EXPECT_EQ(Platform::kInvalidArg, D::StrokeStyle::create(d, negative, 2, out)) << "negative dash";
    EXPECT_EQ(Platform::kInvalidArg, D::StrokeStyle::create(d, zeros, 2, out)) << "pattern of length 0";
    d.dashStyle = D::DashStyle::Dash;
    EXPECT_EQ(Platform::kInvalidArg, D::StrokeStyle::create(d, dashes, 2, out)) << "dashes for a fixed style";
    d.miterLimit = 0.5f;
    EXPECT_EQ(Platform::kInvalidArg, D::StrokeStyle::create(d, nullptr, 0, out)) << "miter limit below 1";
    EXPECT_FALSE(out);
}

TEST_F(Target, BitmapsDrawWithNearestOrLinearInterpolationAndOpacity) {
    // Two pixels: opaque red, opaque blue (B, G, R, A bytes).
    const uint8_t pixels[] = {0, 0, 255, 255, 255, 0, 0, 255};
    std::unique_ptr<D::Bitmap> bitmap;
    ASSERT_EQ(Platform::kOk, D::Bitmap::create(2, 1, pixels, 8, 87, D::AlphaMode::Premultiplied, bitmap));
    const D::RectF wide{0, 0, 8, 1};
    target->drawBitmap(*bitmap, &wide, 1, D::Interpolation::NearestNeighbor, nullptr);
    EXPECT_EQ(0xFFFF0000u, target->pixel(3, 0));
    EXPECT_EQ(0xFF0000FFu, target->pixel(4, 0));
    target->clear({0, 0, 0, 0});
    target->drawBitmap(*bitmap, &wide, 1, D::Interpolation::Linear, nullptr);
    EXPECT_EQ(0xFFFF0000u, target->pixel(0, 0)) << "clamped at the edge";
    EXPECT_GT(redOf(target->pixel(4, 0)), 20u);
    EXPECT_GT(blueOf(target->pixel(3, 0)), 20u);
    target->clear({0, 0, 0, 0});
    const D::RectF at{10, 10, 12, 11};
    target->drawBitmap(*bitmap, &at, 0.5f, D::Interpolation::NearestNeighbor, nullptr);
    EXPECT_NEAR(128, int(alphaOf(target->pixel(10, 10))), 1);
    EXPECT_NEAR(128, int(redOf(target->pixel(10, 10))), 1);
    EXPECT_EQ(0u, target->pixel(12, 10));
    target->clear({0, 0, 0, 0});
    const D::RectF right{1, 0, 2, 1};
    const D::RectF one{20, 20, 21, 21};
    target->drawBitmap(*bitmap, &one, 1, D::Interpolation::NearestNeighbor, &right);
    EXPECT_EQ(0xFF0000FFu, target->pixel(20, 20)) << "a source rectangle";
}

TEST(Bitmap, FromMemoryInEveryAcceptedLayout) {
    struct {
        const char* name;
        int32_t format;
        D::AlphaMode alpha;
        uint8_t in[4];
        uint8_t out[4];  // B, G, R, A premultiplied
    } cases[] = {
        {"premultiplied BGRA", 87, D::AlphaMode::Premultiplied, {10, 20, 30, 40}, {10, 20, 30, 40}},
        {"straight BGRA is premultiplied", 87, D::AlphaMode::Straight, {255, 0, 128, 128}, {128, 0, 64, 128}},
        {"RGBA is swapped", 28, D::AlphaMode::Premultiplied, {30, 20, 10, 255}, {10, 20, 30, 255}},
        {"BGRX is opaque", 88, D::AlphaMode::Premultiplied, {1, 2, 3, 0}, {1, 2, 3, 255}},
        {"alpha ignored", 87, D::AlphaMode::Ignore, {1, 2, 3, 0}, {1, 2, 3, 255}},
        {"colour above alpha is clamped", 87, D::AlphaMode::Premultiplied, {200, 20, 30, 100}, {100, 20, 30, 100}},
    };
    for (const auto& c : cases) {
        std::unique_ptr<D::Bitmap> b;
        ASSERT_EQ(Platform::kOk, D::Bitmap::create(1, 1, c.in, 4, c.format, c.alpha, b)) << c.name;
        EXPECT_EQ(std::vector<uint8_t>(c.out, c.out + 4), std::vector<uint8_t>(b->data(), b->data() + 4)) << c.name;
    }
    std::unique_ptr<D::Bitmap> b;
    EXPECT_EQ(Platform::kInvalidArg, D::Bitmap::create(0, 1, nullptr, 0, 87, D::AlphaMode::Premultiplied, b));
    EXPECT_EQ(Platform::kInvalidArg, D::Bitmap::create(1, 1, nullptr, 0, 10, D::AlphaMode::Premultiplied, b));
    const uint8_t px[4] = {};
    EXPECT_EQ(Platform::kInvalidArg, D::Bitmap::create(2, 1, px, 4, 87, D::AlphaMode::Premultiplied, b))
        << "pitch shorter than a row";
}

TEST_F(Target, BitmapCopiedFromTheTargetKeepsItsPixelsAndClipsAtEdges) {
    D::SolidColorBrush red{{1, 0, 0, 1}};
    target->fillRectangle({60, 60, 64, 64}, red);
    std::unique_ptr<D::Bitmap> strip;
    ASSERT_EQ(Platform::kOk, target->createBitmap(8, 8, strip));
    ASSERT_EQ(Platform::kOk, strip->copyFromRenderTarget(0, 0, *target, 58, 58, 66, 66));
    auto at = [&](int x, int y) { return strip->data()[(y * 8 + x) * 4 + 2]; };
    EXPECT_EQ(0, at(1, 1));
    EXPECT_EQ(255, at(2, 2));
    EXPECT_EQ(255, at(5, 5));
    EXPECT_EQ(0, at(6, 6)) << "outside the target stays as it was";
    // Put back over a cleared target: the strip restores what was there.
    target->clear({0, 0, 0, 0});
    const D::RectF back{58, 58, 66, 66};
    target->drawBitmap(*strip, &back, 1, D::Interpolation::NearestNeighbor, nullptr);
    EXPECT_EQ(0xFFFF0000u, target->pixel(61, 61));
    EXPECT_EQ(0u, target->pixel(57, 57));
}

TEST_F(Target, GradientRunsBetweenItsPointsAndClampsBeyond) {
    D::LinearGradientBrush g({0, {0, 0, 0, 1}}, {1, {1, 1, 1, 1}});
    g.setStartPoint({10, 0});
    g.setEndPoint({50, 0});
    target->fillRectangle({0, 0, 64, 1}, g);
    EXPECT_EQ(0xFF000000u, target->pixel(2, 0));
    EXPECT_EQ(0xFFFFFFFFu, target->pixel(60, 0));
    EXPECT_NEAR(128, int(redOf(target->pixel(30, 0))), 4);
    // Opacity scales the stops.
    D::SolidColorBrush half{{1, 0, 0, 1}};
    half.opacity = 0.5f;
    target->fillRectangle({0, 5, 1, 6}, half);
    EXPECT_NEAR(128, int(alphaOf(target->pixel(0, 5))), 1);
}

TEST_F(Target, EllipsesAndTransformedGeometriesLandWhereAsked) {
    target->fillEllipse({{20, 20}, 10, 5}, black);
    EXPECT_EQ(255u, cover(20, 20));
    EXPECT_EQ(255u, cover(28, 20));
    EXPECT_EQ(0u, cover(20, 27));
    target->clear({0, 0, 0, 0});
    auto path = std::make_shared<D::PathGeometry>();
    D::GeometrySink* sink = nullptr;
    ASSERT_EQ(Platform::kOk, path->open(sink));
    const D::Point2F square[] = {{10, 0}, {10, 10}, {0, 10}};
    sink->beginFigure({0, 0}, D::FigureBegin::Filled);
    sink->addLines(square, 3);
    sink->endFigure(D::FigureEnd::Closed);
    ASSERT_EQ(Platform::kOk, sink->close());
    D::TransformedGeometry moved(path, D::Matrix3x2F::translation(30, 40));
    target->fillGeometry(moved, black);
    EXPECT_EQ(255u, cover(35, 45));
    EXPECT_EQ(0u, cover(5, 5));
    // A hollow figure is stroked, never filled.
    target->clear({0, 0, 0, 0});
    D::PathGeometry hollow;
    ASSERT_EQ(Platform::kOk, hollow.open(sink));
    sink->beginFigure({0, 0}, D::FigureBegin::Hollow);
    sink->addLines(square, 3);
    sink->endFigure(D::FigureEnd::Closed);
    ASSERT_EQ(Platform::kOk, sink->close());
    target->fillGeometry(hollow, black);
    EXPECT_EQ(0u, cover(5, 5));
}

TEST_F(Target, NumbersPastTheRasterisersRangeAreHeldOrDropped) {
    const float nan = std::nanf("");
    const float huge = 1e30f;
    auto triangle = [](D::Point2F a, D::Point2F b, D::Point2F c) {
        auto path = std::make_unique<D::PathGeometry>();
        D::GeometrySink* sink = nullptr;
        (void)path->open(sink);
        sink->beginFigure(a, D::FigureBegin::Filled);
        sink->addLine(b);
        sink->addLine(c);
        sink->endFigure(D::FigureEnd::Closed);
        (void)sink->close();
        return path;
    };
    const struct {
        const char* name;
        std::function<void()> draw;
        uint32_t centre;  // coverage of pixel (32, 32) afterwards
    } cases[] = {
        {"huge triangle around the target is held and fills it",
         [&] {
             target->fillGeometry(*triangle({-huge, -huge}, {huge, -huge}, {0, huge}), black);
         },
         255},
        {"a point that is not a number drops the fill",
         [&] {
             target->fillGeometry(*triangle({0, 0}, {64, nan}, {0, 64}), black);
         },
         0},
        {"huge rectangle",
         [&] {
             target->fillRectangle({-huge, -huge, huge, huge}, black);
         },
         255},
        {"huge ellipse",
         [&] {
             target->fillEllipse({{32, 32}, huge, huge}, black);
         },
         255},
        {"stroke width not a number",
         [&] {
             target->drawLine({0, 32}, {64, 32}, black, nan, nullptr);
         },
         0},
        {"huge stroke width",
         [&] {
             target->drawLine({0, 32}, {64, 32}, black, huge, nullptr);
         },
         255},
        {"huge transform",
         [&] {
             target->setTransform({huge, 0, 0, huge, 0, 0});
             target->fillRectangle({-1, -1, 1, 1}, black);
             target->setTransform({});
         },
         255},
        {"bitmap into a huge rectangle is not drawn",
         [&] {
             std::unique_ptr<D::Bitmap> b;
             const uint8_t px[4] = {0, 0, 0, 255};
             (void)D::Bitmap::create(1, 1, px, 4, 87, D::AlphaMode::Premultiplied, b);
             const D::RectF r{-huge, -huge, huge, huge};
             target->drawBitmap(*b, &r, 1, D::Interpolation::Linear, nullptr);
         },
         0},
        {"text at a point that is not a number is not drawn",
         [&] {
             std::unique_ptr<D::TextFormat> f;
             (void)D::TextFormat::create("Noto Sans CJK JP", 400, D::FontStyle::Normal, 5, 60, "", f);
             std::unique_ptr<D::TextLayout> l;
             (void)D::TextLayout::create("\xE2\x96\xA0", *f, 100, 100, l);
             target->drawTextLayout({nan, 0}, *l, black);
         },
         0},
    };
    for (const auto& c : cases) {
        target->clear({0, 0, 0, 0});
        c.draw();
        EXPECT_EQ(c.centre, cover(32, 32)) << c.name;
    }
    EXPECT_EQ(Platform::kOk, target->endDraw());
}

TEST_F(Target, DashPatternsFinerThanAQuarterPixelDrawSolid) {
    target->drawLine({0, 10}, {64, 10}, black, 0.02f,
                     style(D::CapStyle::Flat, D::LineJoin::Miter, 10, D::DashStyle::Custom, {1, 1}).get());
    target->drawLine({0, 20}, {64, 20}, black, 4,
                     style(D::CapStyle::Flat, D::LineJoin::Miter, 10, D::DashStyle::Custom, {0.01f, 0.01f}).get());
    for (int x : {1, 20, 40, 62}) EXPECT_EQ(255u, cover(x, 19)) << x;
}

TEST(WindowTarget, DrawsOnTheWindowSurface) {
    // A window of a worker thread is message-only but keeps its surface.
    std::promise<std::vector<uint32_t>> drawn;
    std::thread worker([&] {
        Platform::window::WindowDesc desc;
        desc.width = 40;
        desc.height = 30;
        desc.procedure = Platform::window::defWindowProc;
        Platform::window::WindowHandle w = Platform::window::createWindow(desc);
        std::unique_ptr<D::WindowTarget> target;
        std::vector<uint32_t> seen;
        if (D::WindowTarget::create(w, target) == Platform::kOk) {
            seen.push_back(target->pixelWidth());
            seen.push_back(target->pixelHeight());
            D::SolidColorBrush red{{1, 0, 0, 1}};
            target->beginDraw();
            target->fillRectangle({5, 5, 10, 10}, red);
            seen.push_back(uint32_t(target->endDraw()));
            seen.push_back(target->pixel(7, 7));
            seen.push_back(target->pixel(12, 12));
        }
        Platform::window::destroyWindow(w);
        drawn.set_value(seen);
    });
    const std::vector<uint32_t> seen = drawn.get_future().get();
    worker.join();
    EXPECT_EQ((std::vector<uint32_t>{40, 30, 0, 0xFFFF0000u, 0}), seen);
    std::unique_ptr<D::WindowTarget> none;
    EXPECT_EQ(Platform::kInvalidArg, D::WindowTarget::create(nullptr, none));
}

}  // namespace
