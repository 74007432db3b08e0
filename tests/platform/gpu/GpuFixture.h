#pragma once
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gpu/Gpu.h"

// One device for the whole test program, with the validation layer on; every
// test fails when the layer reported anything during it.
class GpuTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!device_) {
            // The driver and the layer stay loaded to the end of the process, so
            // that the leak checker can name them in its suppressions.
            dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
            dlopen("libVkLayer_khronos_validation.so", RTLD_NOW | RTLD_NODELETE);
            // Hazards between passes (a missing or too narrow barrier) are
            // reported too; lavapipe would hide them by running in order.
            setenv("VK_LAYER_ENABLES", "VK_VALIDATION_FEATURE_ENABLE_SYNCHRONIZATION_VALIDATION_EXT", 0);
            Platform::gpu::DeviceOptions options;
            options.validation = true;
            ASSERT_EQ(Platform::kOk, Platform::gpu::Device::create(options, device_));
        }
    }
    void SetUp() override {
        ASSERT_TRUE(device_);
        ASSERT_TRUE(device_->validationEnabled()) << "validation layer missing";
        device_->clearValidationMessages();
    }
    void TearDown() override {
        if (!device_) return;
        EXPECT_EQ(Platform::Result(0), device_->context().finish());
        EXPECT_EQ(0u, device_->validationMessageCount()) << device_->validationMessages();
    }

    Platform::gpu::Device& device() { return *device_; }
    Platform::gpu::Context& context() { return device_->context(); }

    std::unique_ptr<Platform::gpu::Texture> makeTexture(uint32_t w, uint32_t h, int32_t format, uint32_t bind,
                                                        const void* data = nullptr, uint32_t pitch = 0,
                                                        uint32_t samples = 1) {
        Platform::gpu::TextureDesc desc;
        desc.width = w;
        desc.height = h;
        desc.format = format;
        desc.bindFlags = bind;
        desc.sampleCount = samples;
        Platform::gpu::InitialData init{data, pitch};
        std::unique_ptr<Platform::gpu::Texture> t;
        EXPECT_EQ(Platform::Result(0), device().createTexture(desc, data ? &init : nullptr, t));
        return t;
    }

    // The texture's pixels in the program's layout, rows packed tightly.
    std::vector<uint8_t> readBack(Platform::gpu::Texture& texture) {
        std::unique_ptr<Platform::gpu::StagingTexture> staging;
        EXPECT_EQ(Platform::Result(0),
                  device().createStagingTexture(texture.width(), texture.height(), texture.format(), staging));
        if (!staging) return {};
        (void)context().copyResource(*staging, texture);
        Platform::gpu::MappedTexture m;
        EXPECT_EQ(Platform::Result(0), context().map(*staging, m));
        const uint32_t row = Platform::gpu::FormatTable::cpuRowBytes(texture.formatInfo(), texture.width());
        std::vector<uint8_t> out(static_cast<size_t>(row) * texture.height());
        for (uint32_t y = 0; y < texture.height(); ++y)
            std::memcpy(out.data() + y * row, static_cast<const uint8_t*>(m.data) + y * m.rowPitch, row);
        context().unmap(*staging);
        return out;
    }

    static inline std::unique_ptr<Platform::gpu::Device> device_;
};

// IEEE half floats, for building and checking 16-bit float texels.
inline uint16_t floatToHalf(float f) {
    uint32_t x;
    std::memcpy(&x, &f, 4);
    const uint32_t sign = (x >> 16) & 0x8000;
    int32_t exp = static_cast<int32_t>((x >> 23) & 0xFF) - 127 + 15;
    uint32_t mant = x & 0x7FFFFF;
    if (exp <= 0) return static_cast<uint16_t>(sign);
    if (exp >= 31) return static_cast<uint16_t>(sign | 0x7C00);
    uint32_t h = sign | (static_cast<uint32_t>(exp) << 10) | (mant >> 13);
    if (mant & 0x1000) ++h;  // round half up
    return static_cast<uint16_t>(h);
}

inline float halfToFloat(uint16_t h) {
    const uint32_t sign = (h & 0x8000u) << 16;
    uint32_t exp = (h >> 10) & 0x1F;
    uint32_t mant = h & 0x3FF;
    uint32_t x;
    if (exp == 0) {
        if (mant == 0) {
            x = sign;
        } else {
            exp = 127 - 15 + 1;
            while (!(mant & 0x400)) {
                mant <<= 1;
                --exp;
            }
            x = sign | (exp << 23) | ((mant & 0x3FF) << 13);
        }
    } else if (exp == 31) {
        x = sign | 0x7F800000u | (mant << 13);
    } else {
        x = sign | ((exp - 15 + 127) << 23) | (mant << 13);
    }
    float f;
    std::memcpy(&f, &x, 4);
    return f;
}

// The four floats of an RGBA16F texel.
inline void texelHalf4(const std::vector<uint8_t>& pixels, uint32_t width, uint32_t x, uint32_t y, float out[4]) {
    const uint8_t* p = pixels.data() + (static_cast<size_t>(y) * width + x) * 8;
    for (int i = 0; i < 4; ++i) {
        uint16_t h;
        std::memcpy(&h, p + 2 * i, 2);
        out[i] = halfToFloat(h);
    }
}
