#pragma once
// The Direct3D and resource services on lavapipe for each test suite, with
// images made from and read back to RGBA floats, and the blur of "ぼかし" done
// on the CPU in double precision to compare with.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "media/gpu/MediaFixture.h"
#include "media/gpu/ResourceBuffer.h"

// RGBA floats, rows top first.
struct Pixels {
    uint32_t width = 0, height = 0;
    std::vector<double> rgba;
    Pixels() = default;
    Pixels(uint32_t w, uint32_t h) : width(w), height(h), rgba(size_t(w) * h * 4, 0.0) {}
    double& at(uint32_t x, uint32_t y, int c) { return rgba[(size_t(y) * width + x) * 4 + c]; }
    double at(uint32_t x, uint32_t y, int c) const { return rgba[(size_t(y) * width + x) * 4 + c]; }
};

// The CPU blur: the same boxes as the shaders, in double precision.
namespace CpuBlur {

// One box pass along the axis into a target of the length; kind 0 and 1 read 0
// outside the source, kind 2 clamps. A longer target centres the box half the
// growth back (a growth of 2r: the trailing box).
inline Pixels box(const Pixels& s, bool vertical, int r, int kind, uint32_t length) {
    Pixels t(vertical ? s.width : length, vertical ? length : s.height);
    const int sourceLength = int(vertical ? s.height : s.width);
    const int shift = (int(length) - sourceLength) / 2;
    const uint32_t lines = vertical ? s.width : s.height;
    std::vector<double> prefix(size_t(sourceLength) + 1);
    for (uint32_t line = 0; line < lines; ++line)
        for (int c = 0; c < 4; ++c) {
            auto source = [&](int q) { return vertical ? s.at(line, q, c) : s.at(q, line, c); };
            for (int q = 0; q < sourceLength; ++q) prefix[q + 1] = prefix[q] + source(q);
            for (int p = 0; p < int(length); ++p) {
                const int lo = p - shift - r, hi = p - shift + r;  // taps lo .. hi
                double sum = prefix[std::clamp(hi + 1, 0, sourceLength)] - prefix[std::clamp(lo, 0, sourceLength)];
                if (kind == 2) {
                    if (lo < 0) sum += double(std::min(-lo, 2 * r + 1)) * source(0);
                    if (hi >= sourceLength) sum += double(std::min(hi - sourceLength + 1, 2 * r + 1)) * source(sourceLength - 1);
                }
                (vertical ? t.at(line, p, c) : t.at(p, line, c)) = sum / (2 * r + 1);
            }
        }
    return t;
}

inline Pixels blur(Pixels image, int size, float aspect, int mode) {
    if (size <= 0) return image;
    int v = size, h = size;
    if (aspect > 0) v = std::max(0, int((1.0f - aspect) * float(size)));
    else if (aspect < 0) h = std::max(0, int((1.0f + aspect) * float(size)));
    const int kind = mode == 2 ? 2 : mode == 1 ? 1 : 0;
    const int radii[4] = {v - v / 2, h - h / 2, v / 2, h / 2};
    for (int i = 0; i < 4; ++i) {
        const bool vertical = i % 2 == 0;
        const int r = radii[i];
        if (r == 0) continue;
        uint32_t length = vertical ? image.height : image.width;
        if (kind == 0) length = std::min<uint32_t>(length + 2 * r, 16384);
        image = box(image, vertical, r, kind, length);
    }
    return image;
}

inline Pixels lightSpace(Pixels image, double base) {
    for (size_t i = 0; i < image.rgba.size(); ++i)
        if (i % 4 != 3) image.rgba[i] = std::exp(std::clamp(image.rgba[i], 0.0, 1.0) * base + 1);
    return image;
}

inline Pixels fromLightSpace(Pixels image, double base) {
    for (size_t i = 0; i < image.rgba.size(); ++i)
        if (i % 4 != 3) image.rgba[i] = (std::log(image.rgba[i]) - 1) / base;
    return image;
}

}  // namespace CpuBlur

class BlurFixture : public ResourceTest {
protected:
    void TearDown() override {
        Platform::gpu::Context& c = context();
        c.setShaderResource(Platform::gpu::ShaderStage::Compute, 0, nullptr);
        c.setUnorderedAccessView(Platform::gpu::ShaderStage::Compute, 0, nullptr);
        c.setConstantBuffer(Platform::gpu::ShaderStage::Compute, 0, nullptr);
        ResourceTest::TearDown();
    }

    // An image of the size with each pixel's premultiplied RGBA from the function.
    static Pixels makePixels(uint32_t w, uint32_t h, const std::function<std::array<double, 4>(uint32_t, uint32_t)>& f) {
        Pixels p(w, h);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                const auto v = f(x, y);
                for (int c = 0; c < 4; ++c) p.at(x, y, c) = halfToFloat(floatToHalf(float(v[c])));
            }
        return p;
    }
    static std::shared_ptr<Media::ResourceBuffer> upload(const Pixels& p) {
        std::vector<float> rgba(p.rgba.begin(), p.rgba.end());
        return std::shared_ptr<Media::ResourceBuffer>(resourceFrom(p.width, p.height, rgba));
    }
    static Pixels download(Media::ResourceBuffer& image) {
        Pixels p(image.width, image.height);
        const std::vector<float> rgba = pixelsOf(*image.texture);
        std::copy(rgba.begin(), rgba.end(), p.rgba.begin());
        return p;
    }
    // The largest difference of any channel; the sizes must agree.
    static double maxDifference(const Pixels& a, const Pixels& b) {
        EXPECT_EQ(a.width, b.width);
        EXPECT_EQ(a.height, b.height);
        if (a.width != b.width || a.height != b.height) return 1e9;
        double worst = 0;
        for (size_t i = 0; i < a.rgba.size(); ++i) worst = std::max(worst, std::abs(a.rgba[i] - b.rgba[i]));
        return worst;
    }
};
