// Every blend mode of both video outputs against the mode table computed
// here: the mode's colour, faded by the opacity, drawn over the frame.
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "effects/OutputFixture.h"

namespace OutputTest {
namespace {

constexpr uint32_t kW = 16, kH = 8;

using Rgba = std::array<float, 4>;

// Colours of every kind: bright, dark, half covered, transparent (drawn by
// 通常 only) and one below the cut-off of the blend modes.
Pixels pattern(uint32_t seed, bool translucent) {
    Pixels p{kW, kH, std::vector<float>(kW * kH * 4)};
    const float alphas[] = {1, 0.75f, 0.5f, 0.25f, 0.0005f, 0};
    uint32_t state = seed;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>((state >> 8) & 0xffff) / 65535.0f;
    };
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            float* t = p.at(x, y);
            const float a = translucent ? alphas[(x + y * 3) % 6] : ((x + y) % 3 == 0 ? 0.6f : 1.0f);
            for (int c = 0; c < 3; ++c)
                t[c] = next() * a;
            t[3] = a;
        }
    return p.rounded();
}

Rgba luma(float y, float cb, float cr, float a) {
    return {y + 1.402f * cr, y - 0.344f * cb - 0.714f * cr, y + 1.772f * cb, a};
}

// The colour of a mode from the source s and the frame d (premultiplied).
Rgba mode(int32_t blend, const Rgba& s, const Rgba& d) {
    Rgba r{0, 0, 0, s[3]};
    const float sa = s[3];
    for (int c = 0; c < 3; ++c) {
        const float under = d[c] * sa;
        switch (blend) {
        case 1: r[c] = s[c] + under; break;
        case 2: r[c] = under - s[c]; break;
        case 3: r[c] = d[c] * s[c]; break;
        case 4: r[c] = s[c] + d[c] * (sa - s[c]); break;
        case 5: r[c] = d[c] < 0.5f ? 2 * d[c] * s[c] : 2 * (s[c] + d[c] * (sa - s[c])) - sa; break;
        case 6: r[c] = std::max(s[c], under); break;
        case 7: r[c] = std::min(s[c], under); break;
        case 10: r[c] = std::clamp(under + s[c] - sa, 0.0f, sa); break;
        case 11: r[c] = std::clamp(under + 2 * s[c] - sa, 0.0f, sa); break;
        case 12: r[c] = std::abs(under - s[c]); break;
        default: r[c] = s[c]; break;
        }
    }
    const auto y = [](const float* v) { return 0.299f * v[0] + 0.587f * v[1] + 0.114f * v[2]; };
    const auto cb = [](const float* v) { return -0.169f * v[0] - 0.331f * v[1] + 0.5f * v[2]; };
    const auto cr = [](const float* v) { return 0.5f * v[0] - 0.419f * v[1] - 0.081f * v[2]; };
    const float under[3] = {d[0] * sa, d[1] * sa, d[2] * sa};
    if (blend == 8)
        r = luma(y(s.data()), cb(under), cr(under), sa);
    if (blend == 9)
        r = luma(y(under), cb(s.data()), cr(s.data()), sa);
    return r;
}

// What the frame holds after the source was drawn over the background.
Pixels reference(const Pixels& source, const Pixels& background, int32_t blend, float opacity) {
    Pixels out = background;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            const float* sp = source.at(x, y);
            const Rgba s{sp[0], sp[1], sp[2], sp[3]};
            const float* dp = background.at(x, y);
            const Rgba d{dp[0], dp[1], dp[2], dp[3]};
            if (blend != 0 && s[3] < 0.001f)
                continue;  // dropped
            Rgba r = mode(blend, s, d);
            for (float& v : r)
                v *= opacity;
            float* o = out.at(x, y);
            for (int c = 0; c < 4; ++c)
                o[c] = r[c] + d[c] * (1 - r[3]);
        }
    return out;
}

// Compares within the tolerance of 16-bit float frames; names the first misses.
::testing::AssertionResult same(const Pixels& got, const Pixels& want) {
    if (got.width != want.width || got.height != want.height)
        return ::testing::AssertionFailure() << "size " << got.width << "x" << got.height;
    int wrong = 0;
    auto failure = ::testing::AssertionFailure();
    for (uint32_t y = 0; y < want.height; ++y)
        for (uint32_t x = 0; x < want.width; ++x)
            for (int c = 0; c < 4; ++c) {
                const float g = got.at(x, y)[c], w = want.at(x, y)[c];
                if (std::abs(g - w) <= 0.004f + 0.004f * std::abs(w))
                    continue;
                if (++wrong <= 4)
                    failure << "(" << x << ", " << y << ")[" << c << "] got " << g << " want " << w << "; ";
            }
    if (wrong == 0)
        return ::testing::AssertionSuccess();
    return failure << wrong << " values differ";
}

class OutputBlend : public OutputFixture {
protected:
    void SetUp() override {
        OutputFixture::SetUp();
        frameSize(kW, kH);
    }
};

TEST_F(OutputBlend, EveryModeOfBothOutputsMatchesTheModeTable) {
    const Pixels background = pattern(7, false), source = pattern(11, true);
    add(0, background);
    // Each output in its own stretch of the layer.
    const std::pair<const wchar_t*, int32_t> outputs[] = {{Effect::VideoOutput::kName, 0},
                                                          {Effect::SimpleOutput::kName, 10}};
    for (const auto& [name, start] : outputs) {
        auto object = add(1, source, name, start, start + 9);
        Effect::EffectBase& out = *object->effects[1];
        auto& blend = dynamic_cast<Effect::EffectItemSelect&>(*out.findItemByName(L"合成モード"));
        setItem(dynamic_cast<Effect::EffectItemNumber&>(*out.findItemByName(L"透明度")), 30);
        for (int32_t m = 0; m <= 12; ++m) {
            blend.index = m;
            EXPECT_TRUE(same(render(start), reference(source, background, m, 0.7f)))
                << (name == Effect::VideoOutput::kName ? "標準描画" : "基本出力") << " mode " << m;
        }
        // Modes from 20 on and below 0 draw as 通常.
        for (int32_t m : {20, 23, -1}) {
            blend.index = m;
            EXPECT_TRUE(same(render(start), reference(source, background, 0, 0.7f)))
                << (name == Effect::VideoOutput::kName ? "標準描画" : "基本出力") << " mode " << m;
        }
    }
}

// The plain copy moves the image by whole pixels: half the size difference
// plus centre minus position, halves rounded away from zero.
TEST_F(OutputBlend, PlainCopyOffsetsTheImageByWholePixels) {
    EXPECT_EQ(Effect::OutputShaderEffect::plainOffset(11, 8, 0, 0), 2);
    EXPECT_EQ(Effect::OutputShaderEffect::plainOffset(5, 8, 0, 0), -2);
    EXPECT_EQ(Effect::OutputShaderEffect::plainOffset(8, 8, 0, 0), 0);
    EXPECT_EQ(Effect::OutputShaderEffect::plainOffset(8, 8, 1.5f, 0), 2);
    EXPECT_EQ(Effect::OutputShaderEffect::plainOffset(8, 8, 0, 2), -2);

    frameSize(8, 4);
    Pixels wide{11, 4, std::vector<float>(11 * 4 * 4)};
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 11; ++x) {
            float* t = wide.at(x, y);
            t[0] = x / 16.0f;
            t[1] = y / 4.0f;
            t[3] = 1;
        }
    add(0, wide, Effect::SimpleOutput::kName);
    const Pixels frame = render();
    Pixels want{8, 4, {}};
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 8; ++x)
            want.rgba.insert(want.rgba.end(), wide.at(x + 2, y), wide.at(x + 2, y) + 4);
    EXPECT_TRUE(same(frame, want.rounded()));
}

}  // namespace
}  // namespace OutputTest
