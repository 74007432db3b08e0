// The window-area target: nested draw scopes, clips and origins, drawing on
// pixel centres, the saved strip, and the GPU-buffer target on a worker.
#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "media/gpu/MediaFixture.h"
#include "media/gpu/RenderTarget.h"
#include "media/gpu/RenderTargetDirect3D.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/image/ImageBuffer.h"
#include "platform/draw2d/Draw2d.h"
#include "platform/window/TopLevel.h"

namespace {
namespace D2 = Platform::draw2d;

// An off-screen target that counts how often drawing begins and ends.
class CountingTarget : public D2::RenderTarget {
public:
    CountingTarget() { (void)D2::MemoryTarget::create(200, 120, memory); }
    int begins = 0;
    int ends = 0;

protected:
    cairo_surface_t* acquireSurface() override { return memory->surface(); }
    void prepare(cairo_surface_t*) override { ++begins; }
    Platform::Result present(cairo_surface_t*) override {
        ++ends;
        return Platform::kOk;
    }

private:
    std::unique_ptr<D2::MemoryTarget> memory;
};

class AreaTarget : public ::testing::Test {
protected:
    void SetUp() override {
        window.target = &surface;
        window.width = 200;
        window.height = 120;
    }
    uint32_t alpha(int x, int y) { return surface.pixel(x, y) >> 24; }

    CountingTarget surface;
    Media::RenderTarget window;  // the root
    D2::SolidColorBrush black{{0, 0, 0, 1}};
};

TEST_F(AreaTarget, NestedScopesBeginAndEndOnceAndRestoreTheArea) {
    Media::RenderTarget panel(window);
    {
        Media::RenderTarget::DrawScope outer(window, 0, 0, 200, 120, true);
        {
            Media::RenderTarget::DrawScope middle(panel, 100, 50, 160, 100, true);
            Media::RenderTarget::DrawScope inner(panel, 10, 10, 30, 20, false);
            EXPECT_EQ(110, panel.originX);
            EXPECT_EQ(60, panel.originY);
            EXPECT_EQ(20, panel.width);
            EXPECT_EQ(10, panel.height);
            EXPECT_EQ(2u, surface.clipDepth()) << "the outer scope equals the window area: no clip of its own";
            panel.fillRectangle(-1000, -1000, 1000, 1000, black);
        }
        EXPECT_EQ(0, panel.left);
        EXPECT_EQ(0, panel.originX);
        EXPECT_EQ(0u, surface.clipDepth());
        EXPECT_EQ(1, surface.begins);
        EXPECT_EQ(0, surface.ends);
    }
    EXPECT_EQ(1, surface.begins);
    EXPECT_EQ(1, surface.ends);
    EXPECT_EQ(0, window.drawCount);
    // The relative scope clipped to (110, 60)-(130, 70).
    const struct {
        int x, y;
        uint32_t alpha;
    } pixels[] = {{110, 60, 255}, {129, 69, 255}, {109, 60, 0}, {130, 65, 0}, {115, 59, 0}, {115, 70, 0}};
    for (const auto& p : pixels) EXPECT_EQ(p.alpha, alpha(p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(AreaTarget, DrawingLandsOnPixelCentresFromTheOrigin) {
    Media::RenderTarget::DrawScope scope(window, 20, 10, 120, 110, true);
    window.drawRectangle(0, 0, 10, 10, black, 1, nullptr);
    window.drawLine(0, 20, 9, 20, black, 1, nullptr);
    window.fillDot(50, 50, black);
    const float triangle[] = {30, 0, 40, 0, 30, 10};
    window.fillPath(triangle, black);
    const struct {
        const char* what;
        int x, y;
        bool on;
    } cases[] = {
        {"rectangle corner", 20, 10, true},  {"rectangle far corner", 29, 19, true},
        {"rectangle inside", 21, 11, false}, {"rectangle past the end", 30, 15, false},
        {"line start", 20, 30, true},        {"line end, inclusive centre", 29, 30, true},
        {"below the line", 25, 31, false},   {"dot centre", 70, 60, true},
        {"dot edge", 69, 60, true},          {"beyond the dot", 73, 60, false},
        {"filled triangle", 51, 11, true},   {"outside the triangle", 59, 19, false},
    };
    for (const auto& c : cases) {
        if (c.on)
            EXPECT_GT(alpha(c.x, c.y), 100u) << c.what;
        else
            EXPECT_LT(alpha(c.x, c.y), 30u) << c.what;
    }
    EXPECT_EQ(255u, alpha(20, 10));
    EXPECT_EQ(255u, alpha(25, 30));
}

TEST_F(AreaTarget, PathsAreClosedFiguresMovedByTheOrigin) {
    Media::RenderTarget::DrawScope scope(window, 50, 50, 150, 110, true);
    const float square[] = {0, 0, 20, 0, 20, 20, 0, 20};
    window.drawPath(square, 4, black, 2, nullptr);
    EXPECT_EQ(255u, alpha(50, 60)) << "the closing side";
    EXPECT_EQ(0u, alpha(60, 60));
}

TEST_F(AreaTarget, GradientRunsFromTheLeftEdgeToTheRightEdge) {
    D2::LinearGradientBrush g({0, {0, 0, 0, 1}}, {1, {1, 1, 1, 1}});
    Media::RenderTarget::DrawScope scope(window, 10, 10, 110, 30, true);
    window.fillRectangleGradient(0, 0, 100, 20, g);
    EXPECT_EQ(10, g.start.x);
    EXPECT_EQ(110, g.end.x);
    EXPECT_EQ(20, g.start.y);
    EXPECT_LE(int(surface.pixel(10, 15) & 0xFF), 3);
    EXPECT_NEAR(0xFF, int(surface.pixel(109, 15) & 0xFF), 3);
}

TEST_F(AreaTarget, FailedEndThrowsAndTheNextScopeBeginsAfresh) {
    bool thrown = false;
    try {
        Media::RenderTarget::DrawScope scope(window, 0, 0, 200, 120, true);
        surface.pushAxisAlignedClip({0, 0, 5, 5}, D2::AntialiasMode::Aliased);  // left open
    } catch (const std::exception& e) {
        thrown = true;
        EXPECT_NE(std::string::npos, std::string(e.what()).find("target->EndDraw")) << e.what();
    }
    EXPECT_TRUE(thrown);
    EXPECT_EQ(0, window.drawCount);
    { Media::RenderTarget::DrawScope scope(window, 0, 0, 200, 120, true); }
    EXPECT_EQ(2, surface.begins);
    EXPECT_EQ(2, surface.ends);
}

TEST_F(AreaTarget, FailedEndWhileAnotherExceptionLeavesKeepsThatException) {
    // Ending the drawing during the unwinding must not end the program.
    std::string caught;
    try {
        Media::RenderTarget::DrawScope scope(window, 0, 0, 200, 120, true);
        surface.pushAxisAlignedClip({0, 0, 5, 5}, D2::AntialiasMode::Aliased);  // makes the end fail
        throw std::runtime_error("drawing failed");
    } catch (const std::exception& e) {
        caught = e.what();
    }
    EXPECT_EQ("drawing failed", caught);
    EXPECT_EQ(0, window.drawCount);
    EXPECT_EQ(1, surface.ends);
}

TEST_F(AreaTarget, SavedStripIsReusedForTheSameSizeAndPutBack) {
    Media::WindowTemporaryImage strip;
    Media::RenderTarget panel(window);
    D2::SolidColorBrush red{{1, 0, 0, 1}};
    {
        Media::RenderTarget::DrawScope scope(panel, 40, 20, 140, 100, true);
        panel.fillRectangle(0, 0, 100, 80, red);
        strip.pushImage(panel, 10, 4, 80);
        const D2::Bitmap* first = strip.image.get();
        strip.pushImage(panel, 10, 4, 80);
        EXPECT_EQ(first, strip.image.get()) << "same size: reused";
        panel.drawLine(11, 0, 11, 79, black, 1, nullptr);  // the overlay
        EXPECT_EQ(0xFF000000u, surface.pixel(51, 30));
        strip.popImage();
        EXPECT_EQ(0xFFFF0000u, surface.pixel(51, 30));
        strip.pushImage(panel, 10, 5, 80);
        EXPECT_EQ(5u, strip.image->width()) << "new size: a new strip";
    }
    EXPECT_EQ(1, surface.begins);
    strip.popImage();  // outside a scope: opens and closes drawing itself
    EXPECT_EQ(2, surface.begins);
    EXPECT_EQ(2, surface.ends);
}

TEST(RenderTargetWindow, TakesTheWindowsTargetAndClientSize) {
    // A window of a worker thread: message-only, with its surface.
    std::promise<std::vector<int32_t>> seen;
    std::thread worker([&] {
        std::vector<int32_t> out;
        Platform::window::WindowHandle w = Platform::window::createWindow(
            {.title = "", .x = 0, .y = 0, .width = 90, .height = 40, .procedure = Platform::window::defWindowProc});
        Media::RenderTargetWindow window;
        window.createRenderTarget(w);
        out = {window.width, window.height, window.target != nullptr, window.root->target == window.target};
        {
            D2::SolidColorBrush red{{1, 0, 0, 1}};
            Media::RenderTarget::DrawScope scope(window, 0, 0, 90, 40, true);
            window.fillRectangle(80, 30, 90, 40, red);
        }
        out.push_back(int32_t(window.target->pixel(85, 35) >> 16 & 0xFF));
        Platform::window::destroyWindow(w);
        std::string error;
        try {
            window.createRenderTarget(nullptr);
        } catch (const std::exception& e) {
            error = e.what();
        }
        out.push_back(error.find("Direct2D.factory->CreateHwndRenderTarget") != std::string::npos);
        seen.set_value(out);
    });
    const std::vector<int32_t> out = seen.get_future().get();
    worker.join();
    EXPECT_EQ((std::vector<int32_t>{90, 40, 1, 1, 255, 1}), out);
}

TEST(ImageBufferBitmap, FrameImageBecomesABitmapInTheAskedAlphaMode) {
    auto image = Media::ImageBuffer::make(28, 2, 1);
    const uint8_t rgba[] = {255, 0, 0, 128, 0, 0, 255, 0};
    std::memcpy(image->data(), rgba, sizeof rgba);
    CountingTarget target;
    auto ignore = image->createRenderTargetBitmap(target, D2::AlphaMode::Ignore);
    ASSERT_TRUE(ignore);
    EXPECT_EQ(2u, ignore->width());
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 255, 255, 255, 0, 0, 255}),
              std::vector<uint8_t>(ignore->data(), ignore->data() + 8));
    auto premultiplied = image->createRenderTargetBitmap(target, D2::AlphaMode::Premultiplied);
    EXPECT_EQ(128, premultiplied->data()[2]) << "colour kept within alpha";
    EXPECT_EQ(128, premultiplied->data()[3]);
    auto wide = Media::ImageBuffer::make(28, 20000, 1);
    EXPECT_THROW(wide->createRenderTargetBitmap(target, D2::AlphaMode::Ignore), std::exception);
}

using GpuBufferTarget = ResourceTest;

TEST_F(GpuBufferTarget, WorkerDrawsIntoTheWorkingFormatThroughFp16) {
    // A transparent buffer, known to be clear; half-transparent red over the middle, drawn on a worker.
    auto buffer = resourceFrom(8, 8, std::vector<float>(8 * 8 * 4, 0.0f));
    ASSERT_TRUE(buffer);
    D2::SolidColorBrush red{{1, 0, 0, 0.5f}};
    D2::SolidColorBrush white{{1, 1, 1, 1}};
    auto square = std::make_shared<D2::PathGeometry>();
    D2::GeometrySink* sink = nullptr;
    ASSERT_EQ(Platform::kOk, square->open(sink));
    const D2::Point2F corners[] = {{4, 0}, {4, 4}, {0, 4}};
    sink->beginFigure({0, 0}, D2::FigureBegin::Filled);
    sink->addLines(corners, 3);
    sink->endFigure(D2::FigureEnd::Closed);
    ASSERT_EQ(Platform::kOk, sink->close());
    std::promise<void> done;
    std::thread worker([&] {
        Media::RenderTargetDirect3D target(*buffer, true);
        {
            Media::RenderTargetDirect3D::DrawScope scope(target);
            target.drawGeometry(square, &red, 2, 2, nullptr, 0, nullptr);    // fills only
            target.drawGeometry(square, nullptr, 2, 2, &white, 0, nullptr);  // width 0: nothing
        }
        done.set_value();
    });
    done.get_future().get();
    worker.join();
    const std::vector<uint8_t> pixels = readBack(*buffer->texture);
    float inside[4], outside[4];
    texelHalf4(pixels, 8, 3, 3, inside);
    texelHalf4(pixels, 8, 7, 7, outside);
    const float expectInside[4] = {0.5f, 0, 0, 0.5f};  // premultiplied
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(expectInside[i], inside[i], 1.5f / 255) << i;
        EXPECT_EQ(0, outside[i]) << i;
    }
}

TEST_F(GpuBufferTarget, StrokeIsDrawnUnderTheFill) {
    auto buffer = resourceFrom(16, 16, std::vector<float>(16 * 16 * 4, 0.0f));
    D2::SolidColorBrush red{{1, 0, 0, 1}};
    D2::SolidColorBrush green{{0, 1, 0, 1}};
    auto square = std::make_shared<D2::PathGeometry>();
    D2::GeometrySink* sink = nullptr;
    ASSERT_EQ(Platform::kOk, square->open(sink));
    const D2::Point2F corners[] = {{8, 0}, {8, 8}, {0, 8}};
    sink->beginFigure({0, 0}, D2::FigureBegin::Filled);
    sink->addLines(corners, 3);
    sink->endFigure(D2::FigureEnd::Closed);
    ASSERT_EQ(Platform::kOk, sink->close());
    {
        Media::RenderTargetDirect3D target(*buffer);
        Media::RenderTargetDirect3D::DrawScope scope(target);
        target.drawGeometry(square, &red, 4, 4, &green, 4, nullptr);
    }
    const std::vector<uint8_t> pixels = readBack(*buffer->texture);
    float innerHalf[4], outerHalf[4];
    texelHalf4(pixels, 16, 4, 8, innerHalf);  // inside the figure, within the stroke
    texelHalf4(pixels, 16, 3, 8, outerHalf);  // outside the figure, within the stroke
    EXPECT_NEAR(1, innerHalf[0], 0.01) << "the fill covers the inner half of the outline";
    EXPECT_NEAR(1, outerHalf[1], 0.01);
}

}  // namespace
