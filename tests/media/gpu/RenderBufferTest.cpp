#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>
#include <thread>

#include "MediaFixture.h"
#include "media/gpu/CpuAccessBuffer.h"
#include "media/gpu/FrameImage.h"
#include "media/gpu/FrameReadBack.h"
#include "media/image/ImageBuffer.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/ShaderBufferInstance.h"
#include "media/gpu/VertexShader.h"
#include "media/gpu/XYZ_COL.h"
#include "support/LogCapture.h"

using Media::RenderBuffer;
using namespace Platform::gpu;

namespace {

using RenderBufferTest = ResourceTest;

// A frame of the given size cleared to one premultiplied colour.
std::unique_ptr<RenderBuffer> frame(uint32_t w, uint32_t h, float r, float g, float b, float a, uint32_t samples = 1) {
    auto buffer = std::make_unique<RenderBuffer>(10, Media::Direct3DService::SampleDesc{samples, 0});
    buffer->createTexture2D(w, h);
    buffer->createRenderTargetView();
    const float c[4] = {r, g, b, a};
    Media::Direct3DService::get()->context->clearRenderTargetView(buffer->renderTargetView, c);
    return buffer;
}

TEST_F(RenderBufferTest, SameSizeKeepsTextureAndViewsAndBindFlagsFollowTheFormat) {
    RenderBuffer buffer(10, d3d().defaultSampleDesc);
    EXPECT_EQ(nullptr, buffer.texture);
    buffer.createTexture2D(4, 2);
    EXPECT_EQ(0xA8u, buffer.texture->desc().bindFlags);
    Texture* texture = buffer.texture.get();
    View* view = buffer.createShaderResourceView();
    buffer.createTexture2D(4, 2);
    EXPECT_EQ(texture, buffer.texture.get());
    EXPECT_EQ(view, buffer.shaderResourceView);
    buffer.createTexture2D(5, 2);
    EXPECT_EQ(nullptr, buffer.shaderResourceView);
    EXPECT_EQ(5u, buffer.texture->width());

    RenderBuffer bytes(28, d3d().defaultSampleDesc);
    bytes.createTexture2D(2, 2);
    EXPECT_EQ(0x28u, bytes.texture->desc().bindFlags);
    RenderBuffer multi(10, {4, 0});
    multi.createTexture2D(2, 2);
    EXPECT_EQ(0x20u, multi.texture->desc().bindFlags);
    LogCapture log;
    try {
        multi.createShaderResourceView();
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_EQ(0u, std::string(e.what()).find("Direct3D.device->CreateShaderResourceView() failed.")) << e.what();
    }
}

TEST_F(RenderBufferTest, TheEffectFrameworkReadsTheFrameSize) {
    RenderBuffer buffer(10, d3d().defaultSampleDesc);
    int32_t width = -1, height = -1;
    Media::renderBufferSize(buffer, width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    buffer.createTexture2D(7, 3);
    Media::renderBufferSize(buffer, width, height);
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 3);
}

TEST_F(RenderBufferTest, AuxiliaryBuffersAreMadeOnceWithTheirClearValuesAndFollowTheSize) {
    auto buffer = frame(4, 2, 0, 0, 0, 0);
    struct Case {
        const char* name;
        Media::ResourceBuffer* (RenderBuffer::*get)();
        int32_t format;
        float value[4];
    };
    const Case cases[] = {
        {"depthBuffer", &RenderBuffer::getDepthBuffer, 41, {1e10f}},
        {"transparentBuffer", &RenderBuffer::getTransparentBuffer, 10, {0, 0, 0, 0}},
        {"transparentDepthBuffer", &RenderBuffer::getTransparentDepthBuffer, 41, {1e10f}},
        {"normalBuffer", &RenderBuffer::getNormalBuffer, 10, {0, 0, 0, -1}},
        {"normalTransparentBuffer", &RenderBuffer::getNormalTransparentBuffer, 10, {0, 0, 0, -1}},
    };
    for (const Case& c : cases) {
        Media::ResourceBuffer* aux = ((*buffer).*c.get)();
        EXPECT_EQ(aux, ((*buffer).*c.get)()) << c.name;
        EXPECT_EQ(c.format, aux->format) << c.name;
        if (c.format == 41) {
            const auto px = readBack(*aux->texture);
            for (size_t i = 0; i < 8; ++i) {
                float v;
                std::memcpy(&v, px.data() + 4 * i, 4);
                EXPECT_EQ(1e10f, v) << c.name;
            }
        } else {
            const auto px = pixelsOf(*aux->texture);
            for (size_t i = 0; i < px.size(); ++i) EXPECT_EQ(c.value[i % 4], px[i]) << c.name;
        }
        // A new frame size makes the buffer again at that size.
        buffer->createTexture2D(6, 3);
        Media::ResourceBuffer* resized = ((*buffer).*c.get)();
        EXPECT_EQ(6u, resized->width) << c.name;
        EXPECT_EQ(3u, resized->height) << c.name;
        buffer->createTexture2D(4, 2);
    }
}

TEST_F(RenderBufferTest, ImagesOfAFrameHaveTheRequestedAlphaForm) {
    auto buffer = frame(2, 1, 0.5f, 0, 0, 0.5f);
    struct Case {
        int32_t format;
        bool straight;
        uint8_t bytes[4];
    };
    const Case cases[] = {
        {87, true, {0, 0, 255, 128}},  {87, false, {0, 0, 128, 128}}, {88, true, {0, 0, 128, 255}},
        {88, false, {0, 0, 128, 255}}, {28, true, {255, 0, 0, 128}},  {28, false, {128, 0, 0, 128}},
    };
    for (const Case& c : cases) {
        auto image = buffer->createImageBuffer(c.format, c.straight);
        ASSERT_EQ(c.format, image->format);
        ASSERT_EQ(2u, image->width);
        for (uint32_t x = 0; x < 2; ++x)
            for (int k = 0; k < 4; ++k)
                EXPECT_NEAR(c.bytes[k], image->data()[4 * x + k], 1) << c.format << " " << c.straight << " byte " << k;
    }
    auto half = buffer->createImageBuffer(10, false);
    uint16_t h;
    std::memcpy(&h, half->data(), 2);
    EXPECT_NEAR(0.5f, halfToFloat(h), 1e-3f);
    EXPECT_EQ(107, buffer->createImageBuffer(107, false)->format);  // through the YUV conversion
}

TEST_F(RenderBufferTest, ReadBackKeepsTheFrameAndTheMappingsPitch) {
    auto buffer = frame(3, 2, 0.25f, 0.5f, 0.75f, 1);
    auto image = buffer->readImageBuffer();
    EXPECT_EQ(10, image->format);
    EXPECT_EQ(3u, image->width);
    EXPECT_EQ(2u, image->height);
    EXPECT_GE(image->pitch, 24u);
    for (uint32_t y = 0; y < 2; ++y)
        for (int k = 0; k < 4; ++k) {
            uint16_t h;
            std::memcpy(&h, image->data() + y * image->pitch + 16 + 2 * k, 2);
            EXPECT_NEAR((k + 1) * 0.25f, halfToFloat(h), 1e-3f);
        }
}

// The conversion target and staging memory are kept between read-backs: each
// read follows the frame's current size and content, and an image handed out
// earlier keeps its own pixels.
TEST_F(RenderBufferTest, RepeatedReadBacksFollowTheFrameAndLeaveEarlierImagesAlone) {
    auto buffer = frame(2, 1, 1, 0, 0, 1);
    const auto first = buffer->createImageBuffer(88, true);
    const float blue[4] = {0, 0, 1, 1};
    buffer->createTexture2D(3, 2);
    buffer->createRenderTargetView();
    Media::Direct3DService::get()->context->clearRenderTargetView(buffer->renderTargetView, blue);
    const auto second = buffer->createImageBuffer(88, true);
    const auto raw = buffer->readImageBuffer();
    ASSERT_EQ(2u, first->width);
    EXPECT_EQ(255, first->data()[2]);  // red in B, G, R, X order
    EXPECT_EQ(0, first->data()[0]);
    ASSERT_EQ(3u, second->width);
    ASSERT_EQ(2u, second->height);
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 3; ++x) {
            EXPECT_EQ(255, second->data()[y * second->pitch + 4 * x]) << x << "," << y;
            EXPECT_EQ(0, second->data()[y * second->pitch + 4 * x + 2]) << x << "," << y;
        }
    ASSERT_EQ(3u, raw->width);
    uint16_t h;
    std::memcpy(&h, raw->data() + raw->pitch + 2 * 8 + 4, 2);  // blue of the last pixel
    EXPECT_NEAR(1.0f, halfToFloat(h), 1e-3f);
}

// Frames read back without a wait: each in flight holds staging memory of its
// own, so the frames drawn meanwhile into the same buffer never reach it; the
// images are taken on another thread, and the staging memory of taken frames
// serves the next ones.
TEST_F(RenderBufferTest, ReadBacksInFlightKeepTheirFramesAndReuseTheirStagingMemory) {
    auto buffer = frame(2, 1, 0, 0, 0, 1);
    auto& context = *Media::Direct3DService::get()->context;
    constexpr int kInFlight = 3;
    const auto submitFrames = [&] {
        std::vector<std::shared_ptr<Media::FrameReadBack>> frames;
        for (int i = 0; i < kInFlight; ++i) {
            const float color[4] = {i * 0.25f, 0, 0, 1};
            context.clearRenderTargetView(buffer->renderTargetView, color);
            frames.push_back(buffer->submitImageBuffer(88, true));
        }
        const float white[4] = {1, 1, 1, 1};
        context.clearRenderTargetView(buffer->renderTargetView, white);  // the next frame, drawn meanwhile
        EXPECT_EQ(Platform::kOk, context.flush());
        return frames;
    };
    // The red byte (B, G, R, X order) of each frame, taken in order behind a gate.
    const auto takeOnAnotherThread = [](const std::vector<std::shared_ptr<Media::FrameReadBack>>& frames) {
        std::promise<void> gate;
        std::promise<std::vector<int>> taken;
        std::thread reader([&, opened = gate.get_future()]() mutable {
            opened.wait();
            std::vector<int> reds;
            for (const auto& f : frames) {
                const auto image = f->image();
                reds.push_back(image->data()[2]);
                if (f->image() != image) reds.push_back(-1);  // a second call gives the same image
            }
            taken.set_value(reds);
        });
        gate.set_value();
        std::vector<int> reds = taken.get_future().get();
        reader.join();
        return reds;
    };

    const std::vector<int> expected = {0, 64, 128};
    const auto first = submitFrames();
    EXPECT_EQ(static_cast<size_t>(kInFlight), buffer->readBackStagingCount());
    const std::vector<int> firstReds = takeOnAnotherThread(first);
    ASSERT_EQ(expected.size(), firstReds.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(expected[i], firstReds[i], 1) << i;

    const auto second = submitFrames();
    EXPECT_EQ(static_cast<size_t>(kInFlight), buffer->readBackStagingCount());  // none made anew
    const std::vector<int> secondReds = takeOnAnotherThread(second);
    ASSERT_EQ(expected.size(), secondReds.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(expected[i], secondReds[i], 1) << i;

    // A read-back dropped unread may still be written by the GPU: its memory
    // is not handed to the next read-back.
    auto third = submitFrames();  // in the spare staging memory of the taken ones
    third.pop_back();
    EXPECT_NE(nullptr, buffer->submitImageBuffer(88, true)->image());
    EXPECT_EQ(static_cast<size_t>(kInFlight + 1), buffer->readBackStagingCount());
}

// A read-back whose wait fails reports it on every call and never hands out
// an image; a frame already in CPU memory is handed out as it is.
TEST_F(RenderBufferTest, AReadBackThatCannotBeWaitedForThrowsEachTime) {
    auto pool = std::make_shared<Media::ReadBackPool>();
    Media::FrameReadBack never(pool, pool->take(2, 1, 88), 0);  // no submission carries it
    for (int call = 0; call < 2; ++call) EXPECT_THROW(never.image(), std::runtime_error) << call;
    auto ready = std::make_shared<Media::ImageBuffer>(88, 2, 1);
    EXPECT_EQ(ready, Media::FrameReadBack(ready).image());
}

// The CPU images of read-backs come back to the pool when their last holder
// drops them and serve the next read-back of the same shape; one still held is
// never handed out again, and one of another shape is not reused.
TEST_F(RenderBufferTest, ReadBackImagesComeBackWhenDropped) {
    auto pool = std::make_shared<Media::ReadBackPool>();
    auto first = pool->takeImage(88, 4, 2, 32);
    ASSERT_TRUE(first);
    EXPECT_EQ(4u, first->width);
    EXPECT_EQ(32u, first->pitch);
    const Media::ImageBuffer* address = first.get();
    auto held = pool->takeImage(88, 4, 2, 32);
    EXPECT_NE(address, held.get()) << "an image still held is not handed out";
    first.reset();
    auto again = pool->takeImage(88, 4, 2, 32);
    EXPECT_EQ(address, again.get()) << "a dropped image serves the next read-back";
    EXPECT_EQ(2u, pool->imagesMade());
    again.reset();
    auto other = pool->takeImage(88, 8, 2, 32);
    EXPECT_NE(address, other.get()) << "another shape";
    EXPECT_EQ(8u, other->width);
    EXPECT_EQ(3u, pool->imagesMade());
    // An image outliving its pool is simply released.
    pool.reset();
    other.reset();
}

TEST_F(RenderBufferTest, Yuy2ReadBackPacksPairsAndRepeatsAnOddLastPixel) {
    // Texels Y, U, V, x in bytes: Y = 10 row + column, U = 100 + column, V = 200 + column.
    RenderBuffer buffer(28, d3d().defaultSampleDesc);
    buffer.createTexture2D(3, 2);
    Media::PixelShader ps;
    ps.compile("yuv.hlsl",
               "float4 main(float4 p : SV_Position) : SV_Target {\n"
               "  float x = floor(p.x), y = floor(p.y);\n"
               "  return float4(10 * y + x, 100 + x, 200 + x, 7) / 255; }\n",
               "main");
    d3d().setRenderTarget(buffer);
    ps.draw(ps, nullptr, nullptr);
    context().setRenderTarget(nullptr);
    auto image = buffer.readYuy2ImageBuffer();
    EXPECT_EQ(107, image->format);
    EXPECT_EQ(3u, image->width);
    EXPECT_EQ(2u, image->height);
    EXPECT_EQ(32u, image->pitch);
    for (uint32_t y = 0; y < 2; ++y) {
        const uint8_t y0 = static_cast<uint8_t>(10 * y);
        const std::vector<uint8_t> want = {
            y0, 100, static_cast<uint8_t>(y0 + 1), 200, static_cast<uint8_t>(y0 + 2), 102, static_cast<uint8_t>(y0 + 2),
            202};
        const uint8_t* row = image->data() + y * image->pitch;
        EXPECT_EQ(want, std::vector<uint8_t>(row, row + 8)) << "row " << y;
    }
}

TEST_F(RenderBufferTest, ResourceBuffersOfAFrame) {
    auto single = frame(2, 2, 0.25f, 0.5f, 0.75f, 0.5f);
    struct Case {
        const char* what;
        RenderBuffer* buffer;
        bool copy;
        float want[4];
    };
    auto multi = frame(2, 2, 0.25f, 0.5f, 0.75f, 0.5f, 4);
    const Case cases[] = {
        {"copy", single.get(), true, {0.25f, 0.5f, 0.75f, 0.5f}},
        {"opaque draw", single.get(), false, {0.25f, 0.5f, 0.75f, 1}},
        {"resolve", multi.get(), true, {0.25f, 0.5f, 0.75f, 0.5f}},
    };
    for (const Case& c : cases) {
        auto resource = c.buffer->createResourceBuffer(c.copy);
        EXPECT_EQ(10, resource->format);
        const auto px = pixelsOf(*resource->texture);
        for (size_t i = 0; i < px.size(); ++i) EXPECT_NEAR(c.want[i % 4], px[i], 1e-3f) << c.what;
    }
}

TEST_F(RenderBufferTest, FrameImagesArrive8BitPremultipliedAlsoFromMultisampledFrames) {
    for (uint32_t samples : {1u, 4u}) {
        auto buffer = frame(3, 2, 0.5f, 0.25f, 0, 0.5f, samples);
        Media::FrameImage image;
        image.copyFrom(*buffer);
        Platform::os::MutexLock lock(image.mutex);
        EXPECT_EQ(28, image.image.format);
        EXPECT_EQ(3u, image.image.width);
        EXPECT_EQ(2u, image.image.height);
        const uint8_t want[4] = {128, 64, 0, 128};
        for (uint32_t y = 0; y < 2; ++y)
            for (uint32_t x = 0; x < 3; ++x)
                for (int k = 0; k < 4; ++k)
                    EXPECT_NEAR(want[k], image.image.data()[y * image.image.pitch + 4 * x + k], 1) << samples;
    }
}

// Makes every whole copy on the context fail while it lives, as a device out
// of memory does.
class FailedCopies : public ContextTrace {
public:
    explicit FailedCopies(Context& context) : context_(context) { context_.setTrace(this); }
    ~FailedCopies() override { context_.setTrace(nullptr); }
    void call(const char*, uint32_t, const void*) override {}
    Platform::Result copyResult() override { return Platform::kOutOfMemory; }

private:
    Context& context_;
};

// A copy that fails is reported, never answered with what the destination held
// before: a staging texture kept from the frame before would hand that frame out.
TEST_F(RenderBufferTest, ACopyThatFailsThrowsInsteadOfGivingOldContents) {
    auto buffer = frame(2, 2, 1, 0, 0, 1);
    // The kept staging memory holds the red frame now.
    ASSERT_NE(buffer->readImageBuffer(), nullptr);
    ASSERT_NE(buffer->readYuy2ImageBuffer(), nullptr);
    clearTo(buffer->renderTargetView, 0, 0, 1, 1);
    Media::ResourceBuffer resource(2, 2);
    Media::ShaderResourceBuffer resourceView(&resource);
    struct Case {
        const char* scope;
        std::function<void()> call;
    };
    const Case cases[] = {
        {"Media::RenderBuffer::readImageBuffer", [&] { buffer->readImageBuffer(); }},
        {"Media::RenderBuffer::readYuy2ImageBuffer", [&] { buffer->readYuy2ImageBuffer(); }},
        {"Media::RenderBuffer::createResourceBuffer", [&] { buffer->createResourceBuffer(true); }},
        {"Media::FrameImage::copyFromView",
         [&] {
             Media::FrameImage image;
             image.copyFrom(*buffer);
         }},
        {"Media::ResourceBuffer::clone", [&] { resource.clone(); }},
        {"Media::ShaderResourceBuffer::getCopyShaderResourceView", [&] { resourceView.getCopyShaderResourceView(); }},
    };
    LogCapture log;
    for (const Case& c : cases) {
        FailedCopies failing(*Media::Direct3DService::get()->context);
        try {
            c.call();
            ADD_FAILURE() << c.scope << " went on after a failed copy";
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find("CopyResource"), std::string::npos) << c.scope << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(c.scope), std::string::npos) << c.scope << ": " << e.what();
        }
    }
    // Once copies work again the frame read is the blue one.
    const auto image = buffer->readImageBuffer();
    uint16_t h;
    std::memcpy(&h, image->data() + 4, 2);
    EXPECT_NEAR(1.0f, halfToFloat(h), 1e-3f);
}

TEST_F(RenderBufferTest, ShaderBuffersKeepOnlyTheNewestCopy) {
    auto render = frame(2, 2, 0.5f, 0, 0, 1);
    Media::ShaderRenderBuffer renderView(render.get());
    renderView.getCopyShaderResourceView();
    clearTo(render->renderTargetView, 0, 0.5f, 0, 1);
    View* second = renderView.getCopyShaderResourceView();
    EXPECT_EQ(second, renderView.copy->shaderResourceView);
    EXPECT_NEAR(0.5f, pixelsOf(*renderView.copy->texture)[1], 1e-3f);
    EXPECT_EQ(render.get(), renderView.get());

    Media::ResourceBuffer resource(2, 2);
    clearTo(resource.getRenderTargetView(), 0, 0, 0.5f, 1);
    Media::ShaderResourceBuffer resourceView(&resource);
    resourceView.getCopyShaderResourceView();
    EXPECT_NEAR(0.5f, pixelsOf(*resourceView.copy->texture)[2], 1e-3f);
    EXPECT_EQ(resource.getShaderResourceView(), resourceView.getShaderResourceView());
}

}  // namespace

namespace {

TEST_F(RenderBufferTest, PixelShadersReachTheAuxiliaryBuffersAsU1ToU5) {
    auto buffer = frame(2, 2, 0, 0, 0, 0);
    Media::PixelShader ps;
    ps.compile("aux.hlsl",
               "RWTexture2D<float> depthBuffer : register(u1);\n"
               "RWTexture2D<float4> normalBuffer : register(u4);\n"
               "float4 main(float4 p : SV_Position) : SV_Target {\n"
               "  depthBuffer[uint2(p.xy)] = depthBuffer[uint2(p.xy)] * 0 + 2;\n"
               "  normalBuffer[uint2(p.xy)] = float4(0, 0, 1, normalBuffer[uint2(p.xy)].w + 0.5);\n"
               "  return float4(1, 0, 0, 1); }\n",
               "main");
    View* views[5] = {buffer->getDepthBuffer()->getUnorderedAccessView(),
                      buffer->getTransparentBuffer()->getUnorderedAccessView(),
                      buffer->getTransparentDepthBuffer()->getUnorderedAccessView(),
                      buffer->getNormalBuffer()->getUnorderedAccessView(),
                      buffer->getNormalTransparentBuffer()->getUnorderedAccessView()};
    d3d().setRenderTargetWithUav(*buffer, 5, views);
    ps.draw(ps, nullptr, nullptr);
    d3d().setRenderTargetWithUav(*buffer, 0, nullptr);
    context().setRenderTarget(nullptr);
    const auto depth = readBack(*buffer->getDepthBuffer()->texture);
    float d;
    std::memcpy(&d, depth.data(), 4);
    EXPECT_EQ(2.0f, d);
    const auto normal = pixelsOf(*buffer->getNormalBuffer()->texture);
    EXPECT_NEAR(1.0f, normal[2], 1e-3f);
    EXPECT_NEAR(-0.5f, normal[3], 1e-3f);
    EXPECT_NEAR(1.0f, pixelsOf(*buffer->texture)[0], 1e-3f);
}

TEST_F(RenderBufferTest, TriangleOfColouredVerticesIsDrawn) {
    auto buffer = frame(4, 4, 0, 0, 0, 0);
    Media::VertexShader vs;
    const auto code = compile(
        "struct O { float4 p : SV_Position; float4 c : COLOR; };\n"
        "O main(float4 p : POSITION, float4 c : COLOR) { O o; o.p = p; o.c = c; return o; }\n",
        "vs_5_0");
    vs.loadFromMemory(code.data(), code.size());
    ASSERT_EQ(2u, vs.layout->elements().size());
    EXPECT_EQ(12u, vs.layout->elements()[1].offset);  // POSITION fed as three floats
    Media::PixelShader ps;
    ps.compile("colour.hlsl", "float4 main(float4 p : SV_Position, float4 c : COLOR) : SV_Target { return c; }",
               "main");
    context().setVertexShader(vs.shader.get(), vs.layout.get());
    context().setPixelShader(ps.shader.get());
    context().setRasterizerState(resources().rasterizerStates[0].createResource());
    context().setBlendState(nullptr, nullptr);
    d3d().boundVertexShader = nullptr;
    d3d().boundPixelShader = nullptr;
    d3d().setRenderTarget(*buffer);
    // The upper-left half of the target.
    const Media::XYZ_COL triangle[3] = {{-1, 1, 0, 0, 1, 0, 1}, {1, 1, 0, 0, 1, 0, 1}, {-1, -1, 0, 0, 1, 0, 1}};
    d3d().drawTriangle(triangle);
    context().setRenderTarget(nullptr);
    context().setVertexShader(nullptr, nullptr);
    context().setPixelShader(nullptr);
    const auto px = pixelsOf(*buffer->texture);
    EXPECT_NEAR(1.0f, px[(0 * 4 + 0) * 4 + 1], 1e-3f);
    EXPECT_NEAR(0.0f, px[(3 * 4 + 3) * 4 + 1], 1e-3f);
}

// The bitmap rows packed on the GPU are byte for byte the 8-bit read-back
// packed on the CPU: every half-float value (negatives, values past 1,
// infinities and NaNs among them) in the widest frame, spread over the colour
// channels by an odd step, and at widths whose rows need 0 to 3 bytes of
// padding and whose last texel takes one pixel or two.
// The rows stay readable while the read-back is held, and its staging memory
// serves the next one once it is dropped.
TEST_F(RenderBufferTest, Bgr24BitsPackedOnTheGpuAreTheCpuPackedRows) {
    auto& context = *Media::Direct3DService::get()->context;
    for (const uint32_t width : {1u, 2u, 3u, 4u, 5u, 257u}) {
        const uint32_t height = width < 100 ? 64 : (65536 + 3 * width - 1) / (3 * width);
        auto buffer = frame(width, height, 0, 0, 0, 1);
        std::vector<uint16_t> texels(size_t{width} * height * 4);
        for (size_t i = 0; i < size_t{width} * height; ++i) {
            for (size_t c = 0; c < 3; ++c) texels[i * 4 + c] = static_cast<uint16_t>((i * 3 + c) * 40503u);
            texels[i * 4 + 3] = static_cast<uint16_t>(i * 7);  // alpha: dropped either way
        }
        context.updateSubresource(*buffer->texture, texels.data(), width * 8);

        const auto image = buffer->createImageBuffer(88, true);
        Media::BitmapInfoHeader header{};
        Media::ImageBuffer::getBitmapInfoHeader(88, width, height, header);
        std::vector<uint8_t> want(header.biSizeImage, 0);  // padding: zeros
        image->copyToBitmap(header, want.data());

        const auto packed = buffer->submitBgr24Bits();
        const Media::FrameReadBack::Rows rows = packed->rows();
        ASSERT_EQ(height, rows.height) << width;
        const uint32_t rowBytes = header.biSizeImage / height;
        ASSERT_GE(rows.pitch, rowBytes) << width;
        size_t differ = 0;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t i = 0; i < rowBytes; ++i)
                differ += rows.data[size_t{y} * rows.pitch + i] != want[size_t{y} * rowBytes + i];
        EXPECT_EQ(0u, differ) << width;
        EXPECT_EQ(rows.data, packed->rows().data) << width;  // the same memory each call
    }
    auto buffer = frame(5, 3, 1, 0, 0, 1);
    buffer->submitBgr24Bits()->rows();
    buffer->submitBgr24Bits()->rows();
    EXPECT_EQ(1u, buffer->readBackStagingCount());
}

}  // namespace
