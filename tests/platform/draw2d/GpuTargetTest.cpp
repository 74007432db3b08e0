// Drawing into GPU textures on a worker thread: read back before, uploaded
// after, in each supported format.
#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "platform/draw2d/Draw2d.h"
#include "platform/gpu/GpuFixture.h"

namespace {
namespace D = Platform::draw2d;
namespace G = Platform::gpu;

class GpuTarget : public GpuTest {
protected:
    // Opens a target on the texture on a worker thread, fills (2, 2)-(6, 6)
    // with the colour and closes it; the result of endDraw.
    Platform::Result drawOnWorker(G::Texture& texture, bool knownClear, D::ColorF color) {
        std::promise<Platform::Result> done;
        std::thread worker([&] {
            std::unique_ptr<D::GpuTarget> target;
            Platform::Result r = D::GpuTarget::create(device(), texture, knownClear, target);
            if (r == Platform::kOk) {
                D::SolidColorBrush brush(color);
                D::Multithread lock;
                lock.enter();
                target->beginDraw();
                target->fillRectangle({2, 2, 6, 6}, brush);
                r = target->endDraw();
                if (r == Platform::kOk) r = target->lastTransferResult();
                lock.leave();
            }
            done.set_value(r);
        });
        const Platform::Result r = done.get_future().get();
        worker.join();
        return r;
    }
};

TEST_F(GpuTarget, HalfFloatTextureRoundTripsPremultipliedThroughAWorker) {
    // Premultiplied green at half alpha everywhere.
    std::vector<uint16_t> initial(8 * 8 * 4);
    for (size_t i = 0; i < initial.size(); i += 4) {
        initial[i] = floatToHalf(0);
        initial[i + 1] = floatToHalf(0.25f);
        initial[i + 2] = floatToHalf(0);
        initial[i + 3] = floatToHalf(0.5f);
    }
    auto texture = makeTexture(8, 8, 10, G::kBindShaderResource | G::kBindRenderTarget, initial.data(), 8 * 8);
    ASSERT_TRUE(texture);
    ASSERT_EQ(Platform::kOk, drawOnWorker(*texture, false, {1, 0, 0, 0.5f}));
    const std::vector<uint8_t> pixels = readBack(*texture);
    float inside[4], outside[4];
    texelHalf4(pixels, 8, 3, 3, inside);
    texelHalf4(pixels, 8, 0, 0, outside);
    // Red at half alpha over the green: (0.5 + 0, 0.125, 0, 0.5 + 0.25).
    const float expectInside[4] = {0.5f, 0.125f, 0, 0.75f};
    const float expectOutside[4] = {0, 0.25f, 0, 0.5f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(expectInside[i], inside[i], 1.5f / 255) << i;
        EXPECT_NEAR(expectOutside[i], outside[i], 1.5f / 255) << i;
    }
}

TEST_F(GpuTarget, KnownClearTextureIsNotReadBack) {
    std::vector<uint8_t> initial(8 * 8 * 4, 0xFF);
    auto texture = makeTexture(8, 8, 28, G::kBindShaderResource | G::kBindRenderTarget, initial.data(), 8 * 4);
    ASSERT_TRUE(texture);
    ASSERT_EQ(Platform::kOk, drawOnWorker(*texture, true, {0, 0, 1, 1}));
    const std::vector<uint8_t> pixels = readBack(*texture);
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0}), std::vector<uint8_t>(pixels.begin(), pixels.begin() + 4));
    const size_t at = (3 * 8 + 3) * 4;
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 255, 255}),
              std::vector<uint8_t>(pixels.begin() + at, pixels.begin() + at + 4));
}

TEST_F(GpuTarget, EachFormatGetsTheDrawingInItsOwnLayout) {
    const struct {
        int32_t format;
        uint32_t bytes;
        std::vector<uint8_t> inside;   // texel (3, 3) after drawing opaque red at half alpha
        std::vector<uint8_t> outside;  // texel (0, 0), cleared before
    } cases[] = {
        {28, 4, {128, 0, 0, 128}, {0, 0, 0, 0}},
        {87, 4, {0, 0, 128, 128}, {0, 0, 0, 0}},
        {88, 4, {0, 0, 128, 255}, {0, 0, 0, 255}},
        {65, 1, {128}, {0}},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> zero(8 * 8 * c.bytes, 0);
        auto texture =
            makeTexture(8, 8, c.format, G::kBindShaderResource | G::kBindRenderTarget, zero.data(), 8 * c.bytes);
        ASSERT_TRUE(texture) << c.format;
        ASSERT_EQ(Platform::kOk, drawOnWorker(*texture, false, {1, 0, 0, 0.5f})) << c.format;
        const std::vector<uint8_t> pixels = readBack(*texture);
        const size_t at = (3 * 8 + 3) * c.bytes;
        const std::vector<uint8_t> inside(pixels.begin() + at, pixels.begin() + at + c.bytes);
        const std::vector<uint8_t> outside(pixels.begin(), pixels.begin() + c.bytes);
        for (size_t i = 0; i < c.bytes; ++i) EXPECT_NEAR(c.inside[i], inside[i], 1) << c.format << " byte " << i;
        EXPECT_EQ(c.outside, outside) << c.format;
    }
}

TEST_F(GpuTarget, RefusesFormatsItCannotHold) {
    auto texture = makeTexture(4, 4, 11, G::kBindShaderResource | G::kBindRenderTarget);
    ASSERT_TRUE(texture);
    std::unique_ptr<D::GpuTarget> target;
    EXPECT_EQ(Platform::kInvalidArg, D::GpuTarget::create(device(), *texture, false, target));
    EXPECT_FALSE(target);
}

TEST(HalfFloat, ConvertsBothWaysWithRounding) {
    const struct {
        float value;
        uint16_t half;
        float back;
    } cases[] = {{0, 0, 0},
                 {1, 0x3C00, 1},
                 {0.5f, 0x3800, 0.5f},
                 {-2, 0xC000, -2},
                 {65504, 0x7BFF, 65504},
                 {1e6f, 0x7C00, INFINITY},
                 {5.9604645e-8f, 0x0001, 5.9604645e-8f},
                 {1.0f / 255, 0x1C04, 0.0039215088f}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.half, D::halfFromFloat(c.value)) << c.value;
        EXPECT_FLOAT_EQ(c.back, D::floatFromHalf(c.half)) << c.value;
    }
    for (int i = 0; i <= 255; ++i)
        EXPECT_EQ(i, int(std::lround(D::floatFromHalf(D::halfFromFloat(i / 255.0f)) * 255))) << i;
}

}  // namespace
