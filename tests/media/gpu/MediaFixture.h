#pragma once
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "media/gpu/Direct3DService.h"
#include "media/image/ImageBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "platform/gpu/GpuFixture.h"
#include "platform/gpu/HlslCompiler.h"
#include "shaders/BuiltinShaders.h"

// One Direct3D service for each test suite (the slot is empty between suites),
// with helpers that reach the layer directly to set up and check pixels.
class MediaTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
        holder_ = new System::ServiceHolder<Media::Direct3DService>();
    }
    static void TearDownTestSuite() {
        delete holder_;
        holder_ = nullptr;
    }
    void TearDown() override {
        if (Media::Direct3DService* d3d = Media::Direct3DService::get()) {
            EXPECT_EQ(Platform::kOk, d3d->context->finish());
        }
    }

    static Media::Direct3DService& d3d() { return *Media::Direct3DService::get(); }
    static Platform::gpu::Device& device() { return *d3d().device; }
    static Platform::gpu::Context& context() { return *d3d().context; }

    static std::unique_ptr<Platform::gpu::Texture> makeTexture(uint32_t w, uint32_t h, int32_t format, uint32_t bind,
                                                               const void* data = nullptr, uint32_t pitch = 0) {
        Platform::gpu::TextureDesc desc;
        desc.width = w;
        desc.height = h;
        desc.format = format;
        desc.bindFlags = bind;
        Platform::gpu::InitialData init{data, pitch};
        std::unique_ptr<Platform::gpu::Texture> t;
        EXPECT_EQ(Platform::kOk, device().createTexture(desc, data ? &init : nullptr, t));
        return t;
    }

    static std::unique_ptr<Platform::gpu::Texture> halfTexture(uint32_t w, uint32_t h, const std::vector<float>& rgba,
                                                               uint32_t bind = Platform::gpu::kBindShaderResource) {
        std::vector<uint16_t> halves(rgba.size());
        for (size_t i = 0; i < rgba.size(); ++i) halves[i] = floatToHalf(rgba[i]);
        return makeTexture(w, h, 10, bind, halves.data(), w * 8);
    }

    // The texture's pixels in the program's layout, rows packed tightly.
    static std::vector<uint8_t> readBack(Platform::gpu::Texture& texture) {
        std::unique_ptr<Platform::gpu::StagingTexture> staging;
        EXPECT_EQ(Platform::kOk,
                  device().createStagingTexture(texture.width(), texture.height(), texture.format(), staging));
        if (!staging) return {};
        (void)context().copyResource(*staging, texture);
        Platform::gpu::MappedTexture m;
        EXPECT_EQ(Platform::kOk, context().map(*staging, m));
        const uint32_t row = Platform::gpu::FormatTable::cpuRowBytes(texture.formatInfo(), texture.width());
        std::vector<uint8_t> out(static_cast<size_t>(row) * texture.height());
        for (uint32_t y = 0; y < texture.height(); ++y)
            std::memcpy(out.data() + y * row, static_cast<const uint8_t*>(m.data) + y * m.rowPitch, row);
        context().unmap(*staging);
        return out;
    }

    static std::vector<uint8_t> compile(const std::string& source, const char* target) {
        std::vector<uint8_t> code;
        std::string errors;
        EXPECT_EQ(Platform::kOk, Platform::gpu::HlslCompiler::compile("test.hlsl", source.data(), source.size(), "main",
                                                                      target, code, errors))
            << errors;
        return code;
    }

    static inline System::ServiceHolder<Media::Direct3DService>* holder_ = nullptr;
};

// The Direct3D service and the resource service (state tables and built-in
// shaders) for each test suite.
class ResourceTest : public MediaTest {
protected:
    static void SetUpTestSuite() {
        MediaTest::SetUpTestSuite();
        resources_ = new System::ServiceHolder<Resource::ResourceService>();
    }
    static void TearDownTestSuite() {
        delete resources_;
        resources_ = nullptr;
        MediaTest::TearDownTestSuite();
    }
    void TearDown() override {
        Platform::gpu::Context& c = context();
        c.setRenderTarget(nullptr);
        for (uint32_t i = 0; i < 2; ++i) c.setShaderResource(Platform::gpu::ShaderStage::Pixel, i, nullptr);
        for (uint32_t i = 1; i < 8; ++i) c.setUnorderedAccessView(Platform::gpu::ShaderStage::Pixel, i, nullptr);
        c.setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, nullptr);
        MediaTest::TearDown();
    }

    static Resource::ResourceService& resources() { return *Resource::ResourceService::get(); }

    // A buffer in the working format holding the RGBA floats, rows top first.
    static std::unique_ptr<Media::ResourceBuffer> resourceFrom(uint32_t w, uint32_t h, const std::vector<float>& rgba) {
        auto image = Media::ImageBuffer::make(10, w, h);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                for (int c = 0; c < 4; ++c) {
                    const uint16_t half = floatToHalf(rgba[(y * w + x) * 4 + c]);
                    std::memcpy(image->data() + y * image->pitch + x * 8 + c * 2, &half, 2);
                }
        return Media::ResourceBuffer::createFromImageBuffer(image);
    }
    // RGBA floats of a 16-bit float texture.
    static std::vector<float> pixelsOf(Platform::gpu::Texture& texture) {
        const auto px = readBack(texture);
        std::vector<float> out(px.size() / 2);
        for (size_t i = 0; i < out.size(); ++i) {
            uint16_t h;
            std::memcpy(&h, px.data() + 2 * i, 2);
            out[i] = halfToFloat(h);
        }
        return out;
    }
    static void clearTo(Platform::gpu::View* rtv, float r, float g, float b, float a) {
        const float c[4] = {r, g, b, a};
        context().clearRenderTargetView(rtv, c);
    }

    static inline System::ServiceHolder<Resource::ResourceService>* resources_ = nullptr;
};
