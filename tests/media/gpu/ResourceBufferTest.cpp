#include <gtest/gtest.h>

#include <string>

#include "MediaFixture.h"
#include "media/image/ImageBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "support/LogCapture.h"

using Media::ResourceBuffer;
using namespace Platform::gpu;

namespace {

using ResourceBufferTest = ResourceTest;

// Texel (x, y) of a w-wide pattern: distinct, opaque-ish values.
std::vector<float> pattern(uint32_t w, uint32_t h) {
    std::vector<float> v;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) v.insert(v.end(), {0.125f * (x + 1), 0.0625f * (y + 1), 0.5f, 1.0f});
    return v;
}

void expectPixels(const std::vector<float>& want, const std::vector<float>& got, const std::string& what) {
    ASSERT_EQ(want.size(), got.size()) << what;
    for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(want[i], got[i], 2e-3f) << what << " value " << i;
}

TEST_F(ResourceBufferTest, BlankBuffersAreLimitedAndDrawableOnlyInTheWorkingFormats) {
    auto wide = ResourceBuffer::createBlank(20000, 100, 10);
    EXPECT_EQ(16384u, wide->width);
    EXPECT_EQ(100u, wide->height);
    EXPECT_EQ(16384u, wide->texture->width());
    struct Case {
        int32_t format;
        uint32_t bind;
    };
    const Case cases[] = {{10, 0xA8}, {65, 0xA8}, {41, 0xA8}, {28, 0x8}, {87, 0x8}, {13, 0x8}};
    for (const Case& c : cases) {
        auto buffer = ResourceBuffer::createBlank(4, 4, c.format);
        EXPECT_EQ(c.bind, buffer->texture->desc().bindFlags) << c.format;
        EXPECT_EQ(nullptr, buffer->shaderResourceView);
        EXPECT_EQ(nullptr, buffer->renderTargetView);
    }
    ResourceBuffer working(3, 2);
    EXPECT_EQ(10, working.format);
    EXPECT_EQ(&resources().pixelShaders, working.pixelShaderList);
    EXPECT_EQ(&resources().blendStates, working.blendStateList);
    EXPECT_EQ(&d3d(), working.Direct3D);
}

TEST_F(ResourceBufferTest, DeviceRefusalsThrowTheirCallTexts) {
    LogCapture log;
    struct Case {
        const char* what;
        std::function<void()> run;
        const char* text;
    };
    const Case cases[] = {
        {"view of an empty buffer", [] { ResourceBuffer(0, 0).getShaderResourceView(); },
         "Direct3D.device->CreateShaderResourceView() failed."},
        {"zero width", [] { ResourceBuffer::createBlank(0, 5, 10); }, "Direct3D.device->CreateTexture2D() failed."},
        {"target view of a read-only format", [] { ResourceBuffer::createBlank(2, 2, 87)->getRenderTargetView(); },
         "Direct3D.device->CreateRenderTargetView() failed."},
        {"unordered view of a read-only format",
         [] { ResourceBuffer::createBlank(2, 2, 28)->clearUnorderedAccessView(1); },
         "Direct3D.device->CreateUnorderedAccessView() failed."},
    };
    for (const Case& c : cases) {
        try {
            c.run();
            ADD_FAILURE() << c.what;
        } catch (const std::exception& e) {
            EXPECT_EQ(0u, std::string(e.what()).find(c.text)) << c.what << ": " << e.what();
        }
    }
    EXPECT_EQ(nullptr, ResourceBuffer(0, 0).texture);
}

TEST_F(ResourceBufferTest, ImagesUploadUnchangedAndYuy2IsHeldAsPairs) {
    auto buffer = resourceFrom(3, 2, pattern(3, 2));
    expectPixels(pattern(3, 2), pixelsOf(*buffer->texture), "working format upload");
    EXPECT_EQ(nullptr, ResourceBuffer::createFromImageBuffer(nullptr));

    Media::ImageBuffer yuy2(107, 4, 1);
    const uint8_t bytes[8] = {10, 20, 30, 40, 50, 60, 70, 80};
    std::memcpy(yuy2.data(), bytes, 8);
    ResourceBuffer upload(0, 0);
    upload.setImage(yuy2);
    EXPECT_EQ(69, upload.format);
    EXPECT_EQ(4u, upload.width);
    const auto px = readBack(*upload.texture);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 8), px);

    // Other formats are converted into the working format.
    const auto converted = ResourceBuffer::createFromImageBuffer(Media::ImageBuffer::make(87, 2, 2));
    EXPECT_EQ(10, converted->format);
    EXPECT_EQ(2u, converted->width);
}

TEST_F(ResourceBufferTest, ExpandedBuffersAreTransparentAroundTheCopiedSource) {
    const uint32_t w = 4, h = 3;
    auto source = resourceFrom(w, h, pattern(w, h));
    const std::vector<float> src = pattern(w, h);
    struct Case {
        const char* what;
        uint32_t W, H;
        int32_t x, y;
    };
    const Case cases[] = {
        {"border of 2 all round", w + 4, h + 4, 2, 2},        {"crop 2 columns at the left", w - 2, h, -2, 0},
        {"crop a row at the top, moved right", w, h, 1, -1},  {"source reaching past the right edge", 5, 3, 3, 0},
        {"source reaching past the bottom edge", 4, 4, 0, 2}, {"moved out of the result", 4, 3, 4, 0},
    };
    for (const Case& c : cases) {
        auto expanded = source->createExpanded(c.W, c.H, c.x, c.y);
        ASSERT_EQ(c.W, expanded->width) << c.what;
        std::vector<float> want;
        for (int32_t Y = 0; Y < static_cast<int32_t>(c.H); ++Y)
            for (int32_t X = 0; X < static_cast<int32_t>(c.W); ++X) {
                const int32_t sx = X - c.x, sy = Y - c.y;
                if (sx >= 0 && sy >= 0 && sx < static_cast<int32_t>(w) && sy < static_cast<int32_t>(h))
                    want.insert(want.end(), src.begin() + (sy * w + sx) * 4, src.begin() + (sy * w + sx) * 4 + 4);
                else
                    want.insert(want.end(), {0, 0, 0, 0});
            }
        expectPixels(want, pixelsOf(*expanded->texture), c.what);
    }
}

TEST_F(ResourceBufferTest, CloneIsIndependentOfItsSource) {
    auto source = resourceFrom(3, 2, pattern(3, 2));
    auto copy = source->clone();
    EXPECT_EQ(10, copy->format);
    clearTo(source->getRenderTargetView(), 0, 0, 0, 0);
    expectPixels(pattern(3, 2), pixelsOf(*copy->texture), "clone");
    expectPixels(std::vector<float>(24, 0.0f), pixelsOf(*source->texture), "cleared source");
}

TEST_F(ResourceBufferTest, CopyRegionTakesTheBoxAndWhatOfItLiesInTheSource) {
    const uint32_t w = 4, h = 3;
    auto source = resourceFrom(w, h, pattern(w, h));
    const std::vector<float> src = pattern(w, h);
    auto texel = [&](uint32_t x, uint32_t y) {
        return std::vector<float>(&src[(y * w + x) * 4], &src[(y * w + x) * 4] + 4);
    };
    ResourceBuffer inside(2, 2);
    inside.copyRegion(*source, 1, 1, 2, 2);
    std::vector<float> want;
    for (uint32_t y : {1u, 2u})
        for (uint32_t x : {1u, 2u}) {
            auto t = texel(x, y);
            want.insert(want.end(), t.begin(), t.end());
        }
    expectPixels(want, pixelsOf(*inside.texture), "box inside the source");

    // A box reaching past the source copies the part it covers.
    ResourceBuffer edge(2, 2);
    clearTo(edge.getRenderTargetView(), 0, 0, 0, 0);
    edge.copyRegion(*source, 3, 2, 2, 2);
    want = texel(3, 2);
    want.resize(16, 0.0f);
    expectPixels(want, pixelsOf(*edge.texture), "box past the source");
}

TEST_F(ResourceBufferTest, UnorderedClearFillsEveryComponent) {
    ResourceBuffer buffer(2, 2);
    buffer.clearUnorderedAccessView(0.75f);
    expectPixels(std::vector<float>(16, 0.75f), pixelsOf(*buffer.texture), "clear");
    auto depth = ResourceBuffer::createBlank(2, 1, 41);
    depth->clearUnorderedAccessView(1e10f);
    const auto px = readBack(*depth->texture);
    float value;
    std::memcpy(&value, px.data() + 4, 4);
    EXPECT_EQ(1e10f, value);
}

}  // namespace
