#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "MediaFixture.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/PixelShader.h"

using Media::PixelShader;
using namespace Platform::gpu;

namespace {

using Rgba = std::array<float, 4>;
constexpr uint32_t kW = 4, kH = 2;

// A 32-bit constant-buffer word from an int or a float.
struct Word {
    Word(int i) : bits(static_cast<uint32_t>(i)) {}
    Word(float f) { std::memcpy(&bits, &f, 4); }
    uint32_t bits;
};

// The three 4 x 2 sources: premultiplied colours (the first pixel almost
// transparent), values outside 0..1, and a target copy.
float sourceValue(int which, int x, int y, int c) {
    switch (which) {
    case 0: {
        const float a = std::array<float, 4>{0.0005f, 0.3f, 0.6f, 1.0f}[x];
        const float straight[4] = {0.2f + 0.3f * y, 0.9f - 0.1f * x, 0.5f, 1.0f};
        return c == 3 ? a : a * straight[c];
    }
    case 1: {
        const float v[4] = {-0.5f + 0.6f * x, 1.5f - 0.3f * y, 0.25f * x - 0.2f * y, 0.4f + 0.25f * x};
        return v[c];
    }
    default: {
        const float v[4] = {0.3f + 0.1f * x, 0.7f - 0.2f * y, 0.45f, 0.5f + 0.25f * y};
        return v[c];
    }
    }
}

// The source as stored (16-bit floats); 0 outside.
Rgba at(int which, int x, int y) {
    if (x < 0 || y < 0 || x >= int(kW) || y >= int(kH)) return {0, 0, 0, 0};
    Rgba r;
    for (int c = 0; c < 4; ++c) r[c] = halfToFloat(floatToHalf(sourceValue(which, x, y, c)));
    return r;
}

float luma(const Rgba& c) { return 0.299f * c[0] + 0.587f * c[1] + 0.114f * c[2]; }
float sat(float v) { return std::clamp(v, 0.0f, 1.0f); }

Rgba blendMode(int mode, const Rgba& s, const Rgba& d) {
    Rgba out = s, under;
    for (int c = 0; c < 3; ++c) under[c] = d[c] * s[3];
    auto rgb = [&](auto f) {
        for (int c = 0; c < 3; ++c) out[c] = f(c);
    };
    auto fromYcc = [&](float y, float cb, float cr) {
        out[0] = y + 1.402f * cr, out[1] = y - 0.344f * cb - 0.714f * cr, out[2] = y + 1.722f * cb;
    };
    auto cb = [](const float* v) { return -0.169f * v[0] - 0.331f * v[1] + 0.5f * v[2]; };
    auto cr = [](const float* v) { return 0.5f * v[0] - 0.419f * v[1] - 0.081f * v[2]; };
    const float a = s[3];
    switch (mode) {
    case 1: rgb([&](int c) { return s[c] + under[c]; }); break;
    case 2: rgb([&](int c) { return under[c] - s[c]; }); break;
    case 3: rgb([&](int c) { return d[c] * s[c]; }); break;
    case 4: rgb([&](int c) { return s[c] + d[c] * (a - s[c]); }); break;
    case 5: rgb([&](int c) { return d[c] < 0.5f ? 2 * d[c] * s[c] : 2 * (s[c] + d[c] * (a - s[c])) - a; }); break;
    case 6: rgb([&](int c) { return std::max(s[c], under[c]); }); break;
    case 7: rgb([&](int c) { return std::min(s[c], under[c]); }); break;
    case 8: fromYcc(luma(s), cb(under.data()), cr(under.data())); break;
    case 9: fromYcc(luma(under), cb(s.data()), cr(s.data())); break;
    case 10: rgb([&](int c) { return std::clamp(under[c] + s[c] - a, 0.0f, a); }); break;
    case 11: rgb([&](int c) { return std::clamp(under[c] + 2 * s[c] - a, 0.0f, a); }); break;
    case 12: rgb([&](int c) { return std::abs(under[c] - s[c]); }); break;
    case 20:
    case 22: {
        const float m = mode == 20 ? std::min(d[3] + a, 1.0f) : std::max(d[3], a);
        for (int c = 0; c < 4; ++c) out[c] = (d[c] + s[c]) / (d[3] + a) * m - d[c];
        break;
    }
    case 21: {
        Rgba q;
        for (int c = 0; c < 4; ++c) q[c] = d[c] * (1 - a) + s[c];
        for (int c = 0; c < 4; ++c) out[c] = q[c] / q[3] * std::min(d[3] + a, 1.0f) - d[c];
        break;
    }
    case 23:
        for (int c = 0; c < 4; ++c) out[c] = s[c] / a * std::max(d[3] - a, 0.0f) - d[c];
        break;
    default: break;
    }
    return out;
}

// What a shader writes at (x, y); nothing means the pixel is left alone.
using Expect = std::function<std::optional<Rgba>(int x, int y)>;

struct Case {
    std::string what;
    size_t index;
    std::vector<Word> constant;
    int first = -1, second = -1;  // sources for t0 and t1
    Expect expect;
    uint32_t width = kW, height = kH;  // of the target
};

Rgba map(const Rgba& c, const std::function<float(float, int)>& f) {
    Rgba r;
    for (int i = 0; i < 4; ++i) r[i] = f(c[i], i);
    return r;
}

const float kMatrix[16] = {0.3f, 0.5f,  0.1f, 0.05f, -0.2f, 0.4f, 0.6f, 0.1f,
                           0.7f, -0.1f, 0.2f, -0.3f, 0.0f,  0.0f, 0.0f, 1.0f};

Rgba transform(const Rgba& c) {
    Rgba r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r[i] += kMatrix[i * 4 + j] * c[j];
    return r;
}

std::vector<Word> matrixWith(const Rgba& offset) {
    std::vector<Word> w;
    for (float f : kMatrix) w.emplace_back(f);
    for (float f : offset) w.emplace_back(f);
    return w;
}

std::vector<Case> cases() {
    std::vector<Case> list;
    const Rgba offset{0.1f, -0.2f, 0.3f, 0.0f};
    list.push_back({"input conversion", 0, matrixWith(offset), 0, -1, [=](int x, int y) {
                        Rgba c = at(0, x, y);
                        c[3] = 1;
                        for (int i = 0; i < 4; ++i) c[i] += offset[i];
                        return std::optional(transform(c));
                    }});
    list.push_back({"output conversion", 1, matrixWith(offset), 1, -1, [=](int x, int y) {
                        Rgba r = transform(map(at(1, x, y), [](float v, int) { return sat(v); }));
                        for (int i = 0; i < 4; ++i) r[i] += offset[i];
                        return std::optional(r);
                    }});
    list.push_back({"copy", 2, {}, 1, -1, [](int x, int y) { return std::optional(at(1, x, y)); }});
    list.push_back({"fill", 3, {0.25f, 0.5f, -1.0f, 0.75f}, -1, -1, [](int, int) {
                        return std::optional(Rgba{0.25f, 0.5f, -1.0f, 0.75f});
                    }});
    list.push_back({"white", 4, {}, -1, -1, [](int, int) { return std::optional(Rgba{1, 1, 1, 1}); }});
    list.push_back({"offset", 5, {1, -1}, 1, -1, [](int x, int y) { return std::optional(at(1, x + 1, y - 1)); }});
    list.push_back({"offset clamped", 6, {-2, 1}, 1, -1, [](int x, int y) {
                        return std::optional(at(1, std::max(x - 2, 0), std::min(y + 1, int(kH) - 1)));
                    }});
    list.push_back({"two outputs, first", 7, {}, 0, 1, [](int x, int y) { return std::optional(at(0, x, y)); }});
    list.push_back({"colour by alpha", 8, {0.5f, 1.0f, 0.25f, 2.0f}, 0, -1, [](int x, int y) {
                        const float a = at(0, x, y)[3];
                        return std::optional(Rgba{0.5f * a, a, 0.25f * a, 2 * a});
                    }});
    list.push_back({"fade", 9, {0.5f}, 1, -1, [](int x, int y) {
                        return std::optional(map(at(1, x, y), [](float v, int) { return v * 0.5f; }));
                    }});
    list.push_back({"offset and fade", 10, {0.25f, 1, 1}, 1, -1, [](int x, int y) {
                        return std::optional(map(at(1, x + 1, y + 1), [](float v, int) { return v * 0.25f; }));
                    }});
    list.push_back({"premultiply", 12, {}, 2, -1, [](int x, int y) {
                        const Rgba c = at(2, x, y);
                        return std::optional(map(c, [&](float v, int i) { return i == 3 ? v : v * c[3]; }));
                    }});
    list.push_back({"un-premultiply", 13, {}, 0, -1, [](int x, int y) {
                        const Rgba c = at(0, x, y);
                        return std::optional(map(c, [&](float v, int i) { return i == 3 ? v : v / c[3]; }));
                    }});
    list.push_back({"opaque", 14, {}, 1, -1, [](int x, int y) {
                        Rgba c = at(1, x, y);
                        c[3] = 1;
                        return std::optional(c);
                    }});
    list.push_back({"premultiplied range", 15, {}, 1, -1, [](int x, int y) {
                        const Rgba c = at(1, x, y);
                        return std::optional(map(c, [&](float v, int) { return std::min(c[3], std::max(v, 0.0f)); }));
                    }});
    list.push_back({"saturate", 16, {}, 1, -1, [](int x, int y) {
                        return std::optional(map(at(1, x, y), [](float v, int) { return sat(v); }));
                    }});
    list.push_back(
        {"horizontal shrink, step 1", 17, {1, 0}, 1, -1, [](int x, int y) { return std::optional(at(1, x, y)); }});
    // Columns 2x - 1 .. 2x + 1, the first clamped to column 0.
    list.push_back({"horizontal shrink, step 3",
                    17,
                    {3, -1},
                    1,
                    -1,
                    [](int x, int y) {
                        Rgba sum{};
                        for (int i = 0; i < 3; ++i) {
                            const Rgba c = at(1, std::clamp(x * 3 - 1 + i, 0, int(kW) - 1), y);
                            for (int k = 0; k < 4; ++k) sum[k] += c[k] / 3;
                        }
                        return std::optional(sum);
                    },
                    2,
                    2});
    list.push_back({"vertical shrink, step 2",
                    18,
                    {2, 1},
                    1,
                    -1,
                    [](int x, int) {
                        Rgba sum{};
                        for (int i = 0; i < 2; ++i) {
                            const Rgba c = at(1, x, std::clamp(1 + i, 0, int(kH) - 1));
                            for (int k = 0; k < 4; ++k) sum[k] += c[k] / 2;
                        }
                        return std::optional(sum);
                    },
                    kW,
                    1});
    list.push_back({"bright pass", 20, {0.2f, 3.0f, 0.8f}, 0, -1, [](int x, int y) {
                        const Rgba c = at(0, x, y);
                        const float k = std::max(luma(c) - 0.2f, 0.0f) * 3.0f;
                        Rgba r = map(c, [&](float v, int) { return std::min(v * k, 0.8f); });
                        r[3] = std::min(k, 1.0f);
                        return std::optional(r);
                    }});
    list.push_back({"exponential", 21, {2.0f}, 1, -1, [](int x, int y) {
                        const Rgba c = at(1, x, y);
                        return std::optional(
                            map(c, [](float v, int i) { return i == 3 ? v : std::exp(sat(v) * 2.0f + 1); }));
                    }});
    list.push_back({"logarithm", 22, {0.5f}, 2, -1, [](int x, int y) {
                        const Rgba c = at(2, x, y);
                        return std::optional(
                            map(c, [](float v, int i) { return i == 3 ? v : (std::log(v) - 1) * 0.5f; }));
                    }});
    for (int mode : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 20, 21, 22, 23, 13}) {
        list.push_back({"blend mode " + std::to_string(mode), 24, {mode, 0.5f}, 0, 2, [mode](int x, int y) {
                            const Rgba s = at(0, x, y);
                            if (s[3] < 0.001f) return std::optional<Rgba>();
                            return std::optional(
                                map(blendMode(mode, s, at(2, x, y)), [](float v, int) { return v * 0.5f; }));
                        }});
    }
    list.push_back({"blend with offset", 25, {3, 1.0f, -1, 0}, 0, 2, [](int x, int y) {
                        const Rgba s = at(0, x - 1, y);
                        if (s[3] < 0.001f) return std::optional<Rgba>();
                        return std::optional(blendMode(3, s, at(2, x, y)));
                    }});
    return list;
}

class GeneralShaderTest : public ResourceTest {};

TEST_F(GeneralShaderTest, EachShaderDrawsItsFormula) {
    std::unique_ptr<Media::ResourceBuffer> sources[3];
    for (int which = 0; which < 3; ++which) {
        std::vector<float> rgba;
        for (uint32_t y = 0; y < kH; ++y)
            for (uint32_t x = 0; x < kW; ++x)
                for (int c = 0; c < 4; ++c) rgba.push_back(sourceValue(which, x, y, c));
        sources[which] = resourceFrom(kW, kH, rgba);
    }
    const Rgba untouched{0.125f, 0.25f, 0.375f, 0.5f};
    for (const Case& c : cases()) {
        PixelShader& ps = resources().pixelShaders[c.index];
        Media::ResourceBuffer target(c.width, c.height);
        clearTo(target.getRenderTargetView(), untouched[0], untouched[1], untouched[2], untouched[3]);
        Media::ConstantBufferCommon constant;
        std::vector<uint32_t> words(std::max<size_t>(4, (c.constant.size() + 3) / 4 * 4));
        for (size_t i = 0; i < c.constant.size(); ++i) words[i] = c.constant[i].bits;
        constant.create(words.data(), static_cast<uint32_t>(words.size() * 4));
        d3d().boundPixelShader = nullptr;
        if (c.first < 0) {
            ps.drawToResourceWithConstant(target, constant.buffer.get(), nullptr);
        } else if (c.second < 0) {
            ps.drawResourceToResourceWithConstant(target, *sources[c.first], constant.buffer.get(), nullptr);
        } else {
            context().setConstantBuffer(ShaderStage::Pixel, 0, constant.buffer.get());
            ps.drawTwoResourcesToResource(target, *sources[c.first], *sources[c.second], nullptr);
        }
        const auto px = pixelsOf(*target.texture);
        for (uint32_t y = 0; y < c.height; ++y)
            for (uint32_t x = 0; x < c.width; ++x) {
                const Rgba want = c.expect(x, y).value_or(untouched);
                for (int k = 0; k < 4; ++k) {
                    const float got = px[(y * c.width + x) * 4 + k];
                    EXPECT_NEAR(want[k], got, 3e-3f + 2e-3f * std::abs(want[k]))
                        << c.what << " (shader " << c.index << ") at " << x << "," << y << " channel " << k;
                }
            }
    }
}

TEST_F(GeneralShaderTest, ResizeAveragesTheFootprintAndMaskUsesTheTexturedQuad) {
    std::vector<float> rgba;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x)
            for (int c = 0; c < 4; ++c) rgba.push_back(sourceValue(2, x, y, c));
    auto source = resourceFrom(kW, kH, rgba);
    context().setSampler(ShaderStage::Pixel, 0, resources().samplerStates[1].createResource());
    Media::ConstantBufferCommon constant;
    struct Resize {
        float inverseRatio;
        uint32_t width, height, block;  // each output pixel is the mean of a block x block square
    };
    for (const Resize& r : {Resize{1, kW, kH, 1}, Resize{2, kW / 2, kH / 2, 2}}) {
        const float k[4] = {r.inverseRatio, r.inverseRatio, 0, 0};
        constant.create(k, 16);
        Media::ResourceBuffer target(r.width, r.height);
        resources().pixelShaders[19].drawResourceToResourceWithConstant(target, *source, constant.buffer.get(),
                                                                        nullptr);
        const auto px = pixelsOf(*target.texture);
        for (uint32_t y = 0; y < r.height; ++y)
            for (uint32_t x = 0; x < r.width; ++x)
                for (int c = 0; c < 4; ++c) {
                    float want = 0;
                    for (uint32_t j = 0; j < r.block; ++j)
                        for (uint32_t i = 0; i < r.block; ++i)
                            want += at(2, x * r.block + i, y * r.block + j)[c] / (r.block * r.block);
                    EXPECT_NEAR(want, px[(y * r.width + x) * 4 + c], 3e-3f) << r.inverseRatio << " " << x << "," << y;
                }
    }
    // Mask to alpha with the limits 0.2 and 0.8: a smooth step of 1 - luma.
    EXPECT_EQ(&PixelShader::drawQuadUv,
              *resources()
                   .pixelShaders[23]
                   .draw.target<void (*)(PixelShader&, const Platform::gpu::BlendState*, const float*)>());
    const float mask[4] = {0.2f, 0.8f, 1.0f, 1.0f};
    constant.create(mask, 16);
    Media::ResourceBuffer target(kW, kH);
    resources().pixelShaders[23].drawResourceToResourceWithConstant(target, *source, constant.buffer.get(), nullptr);
    context().setSampler(ShaderStage::Pixel, 0, nullptr);
    const auto px = pixelsOf(*target.texture);
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            const float t = sat((1 - luma(at(2, x, y)) - 0.2f) / 0.6f);
            const float want[4] = {0, 0, 0, t * t * (3 - 2 * t)};
            for (int c = 0; c < 4; ++c) EXPECT_NEAR(want[c], px[(y * kW + x) * 4 + c], 3e-3f) << x << "," << y;
        }
}

TEST_F(GeneralShaderTest, ResizeByFourTakesThreeByThreeFilteredSamples) {
    constexpr uint32_t n = 8;
    auto value = [](int x, int y) { return halfToFloat(floatToHalf(((x * 5 + y * 3) % 7) / 6.0f)); };
    std::vector<float> rgba;
    for (uint32_t y = 0; y < n; ++y)
        for (uint32_t x = 0; x < n; ++x) rgba.insert(rgba.end(), {value(x, y), 0, 0, 1});
    auto source = resourceFrom(n, n, rgba);
    // Bilinear filtering with clamped edges, at texture coordinates.
    auto bilinear = [&](float u, float v) {
        const float fx = u * n - 0.5f, fy = v * n - 0.5f;
        const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
        const float ax = fx - x0, ay = fy - y0;
        auto at = [&](int x, int y) { return value(std::clamp(x, 0, int(n) - 1), std::clamp(y, 0, int(n) - 1)); };
        return (at(x0, y0) * (1 - ax) + at(x0 + 1, y0) * ax) * (1 - ay) +
               (at(x0, y0 + 1) * (1 - ax) + at(x0 + 1, y0 + 1) * ax) * ay;
    };
    context().setSampler(ShaderStage::Pixel, 0, resources().samplerStates[1].createResource());
    Media::ConstantBufferCommon constant;
    const float k[4] = {4, 4, 0, 0};
    constant.create(k, 16);
    Media::ResourceBuffer target(2, 2);
    resources().pixelShaders[19].drawResourceToResourceWithConstant(target, *source, constant.buffer.get(), nullptr);
    context().setSampler(ShaderStage::Pixel, 0, nullptr);
    const auto px = pixelsOf(*target.texture);
    const float cell = 0.5f / 3;  // the footprint 4 / 8 cut into 3 cells
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 2; ++x) {
            const float u = (x + 0.5f) * 4 / n - 0.25f + cell / 2, v = (y + 0.5f) * 4 / n - 0.25f + cell / 2;
            float want = 0;
            for (int j = 0; j < 3; ++j)
                for (int i = 0; i < 3; ++i) want += bilinear(u + i * cell, v + j * cell) / 9;
            EXPECT_NEAR(want, px[(y * 2 + x) * 4], 4e-3f) << x << "," << y;
        }
}

}  // namespace
