#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "MediaFixture.h"
#include "media/image/PixelFormat.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceConvert.h"
#include "support/LogCapture.h"

using Media::ImageBuffer;
using Media::ResourceConvert;

namespace {

class ResourceConvertTest : public ResourceTest {
protected:
    void TearDown() override {
        d3d().inputYuvColorSpace = 0;
        d3d().outputYuvColorSpace = 0;
        ResourceTest::TearDown();
    }
    // A single-sample frame holding the RGBA floats.
    static std::unique_ptr<Media::RenderBuffer> frameOf(uint32_t w, uint32_t h, const std::vector<float>& rgba) {
        auto source = resourceFrom(w, h, rgba);
        auto frame = std::make_unique<Media::RenderBuffer>(10, Media::Direct3DService::SampleDesc{1, 0});
        frame->createTexture2D(w, h);
        resources().pixelShaders[2].drawResourceToRender(*frame, *source);
        return frame;
    }
    static std::string failureOf(const std::function<void()>& call) {
        LogCapture log;
        try {
            call();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }
};

TEST_F(ResourceConvertTest, MatricesFollowTheColourSpaceAndTheHeight) {
    struct Case {
        const char* what;
        int32_t format;
        bool output;
        int32_t setting;
        uint32_t height;
        float rows[3][4];  // the first three rows of `transform`
        float offset0;
    };
    const Case cases[] = {
        {"YUY2 in, automatic below 720",
         107,
         false,
         0,
         719,
         {{0, 1.16438353f, 1.59602678f, 0},
          {-0.391607136f, 1.16438353f, -0.812812507f, 0},
          {2.01723218f, 1.16438353f, 0, 0}},
         -128.0f / 255},
        {"YUY2 in, automatic from 720",
         107,
         false,
         0,
         720,
         {{0, 1.16438353f, 1.79274106f, 0},
          {-0.213220984f, 1.16438353f, -0.532881677f, 0},
          {2.11240172f, 1.16438353f, 0, 0}},
         -128.0f / 255},
        {"YC48 in, BT.601 forced",
         13,
         false,
         1,
         1080,
         {{7.99975586f, 0, 11.2156582f, 0},
          {7.99975586f, -2.75191593f, -5.71182585f, 0},
          {7.99975586f, 14.1755676f, 0, 0}},
         0},
        {"YC48 in, BT.709 forced",
         13,
         false,
         2,
         2,
         {{7.99975586f, 0, 12.5980158f, 0},
          {7.99975586f, -1.49835432f, -3.74468565f, 0},
          {7.99975586f, 14.844347f, 0, 0}},
         0},
        {"YUY2 out, BT.601",
         107,
         true,
         0,
         480,
         {{0.256788224f, 0.50412941f, 0.0979058817f, 0},
          {-0.169f * 224 / 255, -0.331f * 224 / 255, 0.5f * 224 / 255, 0},
          {0.5f * 224 / 255, -0.419f * 224 / 255, -0.081f * 224 / 255, 0}},
         0.0627451017f},
        {"YC48 out, BT.601",
         13,
         true,
         1,
         1080,
         {{0.0373761393f, 0.0733772367f, 0.0142504349f, 0},
          {-0.169f * 4096 / 32767, -0.331f * 4096 / 32767, 0.5f * 4096 / 32767, 0},
          {0.5f * 4096 / 32767, -0.419f * 4096 / 32767, -0.081f * 4096 / 32767, 0}},
         0},
        {"YC48 out, BT.709",
         13,
         true,
         0,
         720,
         {{0.2126f * 4096 / 32767, 0.7152f * 4096 / 32767, 0.0722f * 4096 / 32767, 0},
          {-0.1146f * 4096 / 32767, -0.3854f * 4096 / 32767, 0.5f * 4096 / 32767, 0},
          {0.5f * 4096 / 32767, -0.4542f * 4096 / 32767, -0.0458f * 4096 / 32767, 0}},
         0},
    };
    for (const Case& c : cases) {
        float k[20];
        ResourceConvert::colorConstants(k, c.format, c.output, c.setting, c.height);
        for (int r = 0; r < 3; ++r)
            for (int i = 0; i < 4; ++i)
                EXPECT_NEAR(c.rows[r][i], k[r * 4 + i], 2e-6f) << c.what << " " << r << "," << i;
        const float alpha[4] = {0, 0, 0, 1};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(alpha[i], k[12 + i]) << c.what;
        EXPECT_NEAR(c.offset0, k[16], 1e-7f) << c.what;
        EXPECT_EQ(0.0f, k[19]) << c.what;
    }
}

TEST_F(ResourceConvertTest, UploadsOfEachFormatArrivePremultipliedInTheWorkingFormat) {
    struct Case {
        const char* what;
        int32_t format;
        std::vector<uint8_t> bytes;  // two pixels
        float want[2][4];
        float tolerance;
    };
    auto words = [](std::initializer_list<int16_t> w) {
        std::vector<uint8_t> b(w.size() * 2);
        std::memcpy(b.data(), std::data(w), b.size());
        return b;
    };
    auto unorm16 = [](std::initializer_list<uint16_t> w) {
        std::vector<uint8_t> b(w.size() * 2);
        std::memcpy(b.data(), std::data(w), b.size());
        return b;
    };
    const Case cases[] = {
        {"YUY2 black and white", 107, {16, 128, 235, 128}, {{0, 0, 0, 1}, {1, 1, 1, 1}}, 2e-3f},
        {"YC48 white and black", 13, words({4096, 0, 0, 0, 0, 0, 0, 0}), {{1, 1, 1, 1}, {0, 0, 0, 1}}, 2e-3f},
        {"BGRA straight alpha",
         87,
         {0, 0, 255, 128, 255, 0, 0, 255},
         {{128 / 255.0f, 0, 0, 128 / 255.0f}, {0, 0, 1, 1}},
         2e-3f},
        {"RGBA straight alpha", 28, {255, 51, 0, 51, 0, 0, 0, 0}, {{0.2f, 0.04f, 0, 0.2f}, {0, 0, 0, 0}}, 2e-3f},
        {"BGRX ignores the fourth byte", 88, {0, 255, 0, 7, 51, 0, 0, 200}, {{0, 1, 0, 1}, {0, 0, 0.2f, 1}}, 2e-3f},
        {"16-bit RGBA copied",
         11,
         unorm16({65535, 0, 32768, 65535, 0, 0, 0, 0}),
         {{1, 0, 0.5f, 1}, {0, 0, 0, 0}},
         2e-3f},
    };
    for (const Case& c : cases) {
        auto image = ImageBuffer::make(c.format, 2, 1);
        std::memcpy(image->data(), c.bytes.data(), c.bytes.size());
        auto buffer = Media::ResourceBuffer::createFromImageBuffer(image);
        ASSERT_NE(nullptr, buffer) << c.what;
        EXPECT_EQ(10, buffer->format) << c.what;
        EXPECT_EQ(2u, buffer->width) << c.what;
        const auto px = pixelsOf(*buffer->texture);
        for (int x = 0; x < 2; ++x)
            for (int k = 0; k < 4; ++k)
                EXPECT_NEAR(c.want[x][k], px[x * 4 + k], c.tolerance) << c.what << " " << x << "," << k;
    }
}

// A 32-bit colour frame reaches the working format without a pass of its own:
// every byte value of every channel must give exactly the texel the opaque
// copy pass draws, on rows whose pitch is wider than the pixels.
TEST_F(ResourceConvertTest, ColourFramesGetTheOpaqueCopyPassTexelsExactly) {
    constexpr uint32_t w = 259, h = 2;
    auto image = ImageBuffer::make(Media::PixelFormat::kB8G8R8X8Unorm, w, h);
    ASSERT_GT(image->pitch, w * 4);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t n = y * w + x;
            uint8_t* p = image->data() + y * image->pitch + x * 4;
            p[0] = static_cast<uint8_t>(n), p[1] = static_cast<uint8_t>(n * 7 + 3);
            p[2] = static_cast<uint8_t>(n * 13 + 5), p[3] = static_cast<uint8_t>(n ^ 0x5a);
        }
    Media::ResourceBuffer uploaded(0, 0);
    uploaded.setImage(*image);
    Media::ResourceBuffer drawn(w, h);
    resources().pixelShaders[14].drawResourceToResource(drawn, uploaded, nullptr);
    Media::ResourceBuffer converted(w, h);
    ResourceConvert().convert(*image, converted);
    const auto want = pixelsOf(*drawn.texture);
    const auto got = pixelsOf(*converted.texture);
    ASSERT_EQ(want.size(), got.size());
    for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(want[i], got[i]) << "texel " << i / 4 << " channel " << i % 4;
}

TEST_F(ResourceConvertTest, TheInputSettingIsReadAtEachUpload) {
    // Y = 128, U = 128, V = 200: red depends on the Cr coefficient.
    auto image = ImageBuffer::make(107, 2, 1);
    const uint8_t bytes[4] = {128, 128, 128, 200};
    std::memcpy(image->data(), bytes, 4);
    const float y = (128 - 16) / 219.0f, cr = (200 - 128) / 224.0f;
    for (auto [setting, coefficient] : {std::pair{1, 1.402f}, {2, 1.5748f}}) {
        d3d().inputYuvColorSpace = setting;
        auto buffer = Media::ResourceBuffer::createFromImageBuffer(image);
        EXPECT_NEAR(y + coefficient * cr, pixelsOf(*buffer->texture)[0], 3e-3f) << setting;
    }
}

TEST_F(ResourceConvertTest, FramesRoundTripThroughYuy2AndYc48) {
    // Pairs of equal opaque colours, so that the shared chroma of YUY2 loses nothing.
    const float colours[3][3] = {{1, 0, 0}, {0.2f, 0.6f, 0.4f}, {0.9f, 0.9f, 0.1f}};
    std::vector<float> rgba;
    for (uint32_t y = 0; y < 2; ++y)
        for (const auto& c : colours)
            for (int i = 0; i < 2; ++i) rgba.insert(rgba.end(), {c[0], c[1], c[2], 1});
    auto frame = frameOf(6, 2, rgba);
    for (auto [format, setting, tolerance] : {std::tuple{107, 1, 0.02f}, {107, 2, 0.02f}, {13, 0, 2e-3f}}) {
        d3d().inputYuvColorSpace = d3d().outputYuvColorSpace = setting;
        auto image = frame->createImageBuffer(format, false);
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(format, image->format);
        EXPECT_EQ(6u, image->width);
        EXPECT_EQ(2u, image->height);
        auto back = Media::ResourceBuffer::createFromImageBuffer(image);
        const auto px = pixelsOf(*back->texture);
        for (size_t i = 0; i < rgba.size(); ++i) EXPECT_NEAR(rgba[i], px[i], tolerance) << format << " " << i;
    }
    // White reads back as Y = 4096 in YC48 and the frame's alpha rides along.
    auto white = frameOf(2, 1, {1, 1, 1, 1, 0.5f, 0.5f, 0.5f, 0.5f});
    auto yc48 = white->createImageBuffer(13, false);
    int16_t w[8];
    std::memcpy(w, yc48->data(), sizeof w);
    EXPECT_NEAR(4096, w[0], 1);
    EXPECT_NEAR(0, w[1], 1);
    EXPECT_NEAR(0, w[2], 1);
    EXPECT_NEAR(16384, w[7], 2);
    // YUY2 white: Y = 235, U = V = 128.
    auto yuy2 = white->createImageBuffer(107, false);
    EXPECT_NEAR(235, yuy2->data()[0], 1);
    EXPECT_NEAR(128, yuy2->data()[1], 1);
    EXPECT_NEAR(128, yuy2->data()[3], 1);
}

TEST_F(ResourceConvertTest, UnsupportedFormatsNameBothFormats) {
    auto frame = std::make_unique<Media::RenderBuffer>(28, Media::Direct3DService::SampleDesc{1, 0});
    frame->createTexture2D(2, 2);
    std::string text = failureOf([&] { ResourceConvert().convertToImage(*frame, 107); });
    EXPECT_EQ(0u, text.find("unsupported convert format.")) << text;
    EXPECT_NE(std::string::npos, text.find("DXGI format 28 -> 107")) << text;
    EXPECT_NE(std::string::npos, text.find("Media::ResourceConvert::convert()")) << text;
    auto working = frameOf(2, 1, std::vector<float>(8, 0.5f));
    text = failureOf([&] { ResourceConvert().convertToImage(*working, 28); });
    EXPECT_NE(std::string::npos, text.find("DXGI format 10 -> 28")) << text;
    // Upload: the source format as the GPU holds it, and a destination not in the working format.
    auto image = ImageBuffer::make(107, 2, 1);
    auto mask = Media::ResourceBuffer::createBlank(2, 1, 65);
    text = failureOf([&] { ResourceConvert().convert(*image, *mask); });
    EXPECT_NE(std::string::npos, text.find("DXGI format 69 -> 65")) << text;
    // The destination takes the image's size.
    Media::ResourceBuffer destination(8, 8);
    ResourceConvert().convert(*image, destination);
    EXPECT_EQ(2u, destination.width);
    EXPECT_EQ(1u, destination.height);
    EXPECT_EQ(2u, destination.texture->width());
}

TEST_F(ResourceConvertTest, MultisampledFramesAreResolvedBeforeTheConversion) {
    auto frame = std::make_unique<Media::RenderBuffer>(10, Media::Direct3DService::SampleDesc{4, 0});
    frame->createTexture2D(2, 2);
    frame->createRenderTargetView();
    const float grey[4] = {0.5f, 0.5f, 0.5f, 1};
    context().clearRenderTargetView(frame->renderTargetView, grey);
    auto image = frame->createImageBuffer(13, false);
    for (uint32_t i = 0; i < 4; ++i) {
        int16_t w[4];
        std::memcpy(w, image->data() + (i / 2) * image->pitch + (i % 2) * 8, sizeof w);
        EXPECT_NEAR(2048, w[0], 2) << i;
        EXPECT_NEAR(0, w[1], 2) << i;
        EXPECT_NEAR(32767, w[3], 2) << i;
    }
}

TEST_F(ResourceConvertTest, OddWidthYuy2UploadsEveryColumn) {
    auto image = ImageBuffer::make(107, 3, 1);
    const uint8_t bytes[8] = {235, 128, 16, 128, 235, 128, 235, 128};
    std::memcpy(image->data(), bytes, 8);
    auto buffer = Media::ResourceBuffer::createFromImageBuffer(image);
    EXPECT_EQ(3u, buffer->width);
    const auto px = pixelsOf(*buffer->texture);
    const float want[3] = {1, 0, 1};
    for (int x = 0; x < 3; ++x) EXPECT_NEAR(want[x], px[x * 4], 3e-3f) << x;
}

}  // namespace
