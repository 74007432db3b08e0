#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "MediaFixture.h"
#include "media/gpu/BlendStateList.h"
#include "media/gpu/RasterizerStateList.h"
#include "media/gpu/SamplerStateList.h"

using namespace Platform::gpu;

namespace {

class StateListTest : public MediaTest {
protected:
    void SetUp() override {
        const auto* code = ::Shader::BuiltinShaders::code("QuadPosition", ShaderStage::Vertex);
        ASSERT_TRUE(code);
        ASSERT_EQ(Platform::kOk, device().createShader(ShaderStage::Vertex, code->data(), code->size(), vs_));
        InputElement e{"POSITION", 0, kElementR32G32B32Float, kAppendAligned};
        ASSERT_EQ(Platform::kOk, device().createInputLayout(&e, 1, code->data(), code->size(), layout_));
        const float v[12] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, 1, 1, 0};
        ASSERT_EQ(Platform::kOk, device().createBuffer(BufferKind::Vertex, sizeof v, v, quad_));
    }
    void TearDown() override {
        context().setRenderTarget(nullptr);
        context().setShaderResource(ShaderStage::Pixel, 0, nullptr);
        context().setSampler(ShaderStage::Pixel, 0, nullptr);
        context().setBlendState(nullptr, nullptr);
        context().setRasterizerState(nullptr);
        MediaTest::TearDown();
    }
    // One full-target quad with the states given.
    void draw(Platform::gpu::Shader& ps, Texture& target, const BlendState* blend, const float* factor,
              const RasterizerState* rasterizer) {
        View* rtv = nullptr;
        ASSERT_EQ(Platform::kOk, target.view(ViewKind::RenderTarget, rtv));
        context().setRasterizerState(rasterizer);
        context().setBlendState(blend, factor);
        context().setVertexShader(vs_.get(), layout_.get());
        context().setPixelShader(&ps);
        context().setVertexBuffer(quad_.get(), 12, 0);
        context().setTopology(Topology::TriangleStrip);
        context().setRenderTarget(rtv);
        context().setViewport({0, 0, float(target.width()), float(target.height()), 0, 1});
        context().draw(4, 0);
        context().setRenderTarget(nullptr);
    }
    std::unique_ptr<Platform::gpu::Shader> pixelShader(const std::string& source) {
        const auto code = compile(source, "ps_5_0");
        std::unique_ptr<Platform::gpu::Shader> s;
        EXPECT_EQ(Platform::kOk, device().createShader(ShaderStage::Pixel, code.data(), code.size(), s));
        return s;
    }

    ::Shader::BlendStateList blends_;
    ::Shader::RasterizerStateList rasterizers_;
    ::Shader::SamplerStateList samplers_;
    std::unique_ptr<Platform::gpu::Shader> vs_;
    std::unique_ptr<InputLayout> layout_;
    std::unique_ptr<Buffer> quad_;
};

TEST_F(StateListTest, EntriesAreMadeOnFirstRequestAndKept) {
    for (size_t i = 0; i < ::Shader::BlendStateList::kCount; ++i) {
        EXPECT_FALSE(blends_[i].object) << i;
        BlendState* first = blends_[i].createResource();
        ASSERT_NE(nullptr, first);
        EXPECT_EQ(first, blends_[i].createResource()) << i;
    }
    for (size_t i = 0; i < ::Shader::RasterizerStateList::kCount; ++i)
        EXPECT_EQ(rasterizers_[i].createResource(), rasterizers_[i].createResource());
    for (size_t i = 0; i < ::Shader::SamplerStateList::kCount; ++i)
        EXPECT_EQ(samplers_[i].createResource(), samplers_[i].createResource());
    const RasterizerDesc solidNone = rasterizers_[0].createResource()->desc();
    EXPECT_EQ(kFillSolid, solidNone.fill);
    EXPECT_EQ(kCullNone, solidNone.cull);
    EXPECT_EQ(kCullBack, rasterizers_[1].createResource()->desc().cull);
    EXPECT_EQ(kFillWireframe, rasterizers_[2].createResource()->desc().fill);
    const SamplerDesc mirrorBorder = samplers_[4].createResource()->desc();
    EXPECT_EQ(kAddressMirror, mirrorBorder.addressU);
    EXPECT_EQ(kAddressBorder, mirrorBorder.addressV);
    EXPECT_EQ(kFilterPoint, samplers_[6].createResource()->desc().filter);
}

TEST_F(StateListTest, EveryBlendEntryGivesItsFormulaOnADraw) {
    // s: first output, s1: second output, d: target, f: blend factor.
    const float s[4] = {0.3f, 0.5f, 0.7f, 0.6f};
    const float s1a = 0.25f;
    const float d[4] = {0.2f, 0.4f, 0.1f, 0.5f};
    const float f[4] = {0.3f, 0.35f, 0.4f, 0.45f};
    using Formula = float (*)(int c, const float* s, float s1a, const float* d, const float* f);
    const Formula formulas[::Shader::BlendStateList::kCount] = {
        [](int c, const float* s, float, const float* d, const float*) { return s[c] + d[c] * (1 - s[3]); },
        [](int c, const float* s, float, const float* d, const float*) { return s[c] * (1 - d[3]) + d[c]; },
        [](int c, const float* s, float, const float* d, const float*) {
            return c < 3 ? s[c] * s[3] + d[c] * (1 - s[3]) : s[3] + d[3] * (1 - s[3]);
        },
        [](int c, const float* s, float, const float*, const float*) { return s[c]; },
        [](int c, const float* s, float a1, const float* d, const float*) { return s[c] * (1 - a1) + d[c] * a1; },
        [](int c, const float* s, float a1, const float* d, const float*) { return s[c] * a1 + d[c] * (1 - a1); },
        [](int c, const float* s, float a1, const float*, const float*) { return s[c] * (1 - a1); },
        [](int c, const float* s, float, const float* d, const float*) { return d[c] * s[3]; },
        [](int c, const float* s, float, const float* d, const float*) { return d[c] * (1 - s[3]); },
        [](int c, const float* s, float, const float* d, const float*) { return c < 3 ? d[c] * s[3] : s[3]; },
        [](int c, const float* s, float, const float* d, const float*) { return c < 3 ? d[c] * s[c] : d[3]; },
        [](int c, const float* s, float, const float* d, const float*) {
            return c < 3 ? s[c] + d[c] : s[3] + d[3] * (1 - s[3]);
        },
        [](int c, const float* s, float, const float* d, const float*) {
            return c < 3 ? s[c] + d[c] : s[3] * (1 - d[3]) + d[3];
        },
        [](int c, const float* s, float, const float* d, const float* f) {
            return c < 3 ? s[c] * f[c] + d[c] : s[3] * f[3] + d[3] * (1 - s[3]);
        },
        [](int c, const float* s, float, const float* d, const float*) { return s[c] * d[3]; },
        [](int c, const float* s, float, const float* d, const float*) { return std::max(s[c], d[c]); },
        [](int c, const float* s, float, const float* d, const float*) { return c < 3 ? d[c] * s[3] : d[3]; },
        [](int c, const float* s, float, const float* d, const float*) { return s[c] + d[c]; },
        [](int c, const float* s, float, const float* d, const float*) { return c < 3 ? s[c] * d[3] + d[c] : d[3]; },
        [](int c, const float* s, float, const float* d, const float* f) { return s[c] * f[c] + d[c] * (1 - f[c]); },
        [](int c, const float* s, float, const float* d, const float* f) { return s[c] * (1 - f[c]) + d[c] * f[c]; },
    };
    auto ps = pixelShader(
        "struct Out { float4 c0 : SV_Target0; float4 c1 : SV_Target1; };\n"
        "Out main(float4 p : SV_Position) { Out o; o.c0 = float4(0.3, 0.5, 0.7, 0.6);\n"
        "  o.c1 = float4(0.9, 0.8, 0.7, 0.25); return o; }\n");
    for (size_t i = 0; i < ::Shader::BlendStateList::kCount; ++i) {
        auto target = halfTexture(2, 2,
                                  std::vector<float>{d[0], d[1], d[2], d[3], d[0], d[1], d[2], d[3], d[0], d[1], d[2],
                                                     d[3], d[0], d[1], d[2], d[3]},
                                  kBindShaderResource | kBindRenderTarget);
        draw(*ps, *target, blends_[i].createResource(), f, rasterizers_[0].createResource());
        const auto px = readBack(*target);
        float got[4];
        texelHalf4(px, 2, 1, 1, got);
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(formulas[i](c, s, s1a, d, f), got[c], 3e-3f) << "blend entry " << i << " channel " << c;
    }
}

TEST_F(StateListTest, SamplersReadBorderAsTransparentAndWrapRepeats) {
    // A 2 x 1 texture sampled at u = -0.25 (left of the texture) and u = 1.25.
    auto source = halfTexture(2, 1, {1, 0, 0, 1, 0, 1, 0, 1});
    auto ps = pixelShader(
        "Texture2D<float4> t : register(t0); SamplerState s : register(s0);\n"
        "float4 main(float4 p : SV_Position) : SV_Target {\n"
        "  return t.Sample(s, float2(p.x < 1 ? -0.25 : 1.25, 0.5)); }\n");
    struct Case {
        size_t entry;
        float left[4], right[4];
    };
    const Case cases[] = {
        {0, {0, 0, 0, 0}, {0, 0, 0, 0}},  // linear border
        {1, {1, 0, 0, 1}, {0, 1, 0, 1}},  // linear clamp
        {2, {0, 1, 0, 1}, {1, 0, 0, 1}},  // wrap: -0.25 is the second texel's centre
        {5, {0, 0, 0, 0}, {0, 0, 0, 0}},  // point border
        {6, {1, 0, 0, 1}, {0, 1, 0, 1}},  // point clamp
    };
    View* view = nullptr;
    ASSERT_EQ(Platform::kOk, source->view(ViewKind::ShaderResource, view));
    for (const Case& c : cases) {
        auto target = makeTexture(2, 1, 10, kBindShaderResource | kBindRenderTarget);
        context().setShaderResource(ShaderStage::Pixel, 0, view);
        context().setSampler(ShaderStage::Pixel, 0, samplers_[c.entry].createResource());
        draw(*ps, *target, nullptr, nullptr, rasterizers_[0].createResource());
        const auto px = readBack(*target);
        float left[4], right[4];
        texelHalf4(px, 2, 0, 0, left);
        texelHalf4(px, 2, 1, 0, right);
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(c.left[k], left[k], 2e-3f) << "sampler " << c.entry;
            EXPECT_NEAR(c.right[k], right[k], 2e-3f) << "sampler " << c.entry;
        }
    }
}

TEST_F(StateListTest, AddressModesTellClampWrapAndMirrorApart) {
    // A 2 x 1 texture (red, green) sampled at u = -0.75 and u = 1.75 (v inside),
    // and at u = 0.25 with v = -0.5 (above the texture).
    auto source = halfTexture(2, 1, {1, 0, 0, 1, 0, 1, 0, 1});
    auto ps = pixelShader(
        "Texture2D<float4> t : register(t0); SamplerState s : register(s0);\n"
        "float4 main(float4 p : SV_Position) : SV_Target {\n"
        "  float2 uv = p.x < 1 ? float2(-0.75, 0.5) : p.x < 2 ? float2(1.75, 0.5) : float2(0.25, -0.5);\n"
        "  return t.Sample(s, uv); }\n");
    const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1}, none[4] = {0, 0, 0, 0};
    struct Case {
        size_t entry;
        const float* want[3];
    };
    const Case cases[] = {
        {1, {red, green, red}},   // clamp
        {2, {red, green, red}},   // wrap: -0.75 reads as 0.25, 1.75 as 0.75, v -0.5 as 0.5
        {3, {green, red, red}},   // mirror: -0.75 reads as 0.75, 1.75 as 0.25, v -0.5 as 0.5
        {4, {green, red, none}},  // mirror across, border above and below
    };
    View* view = nullptr;
    ASSERT_EQ(Platform::kOk, source->view(ViewKind::ShaderResource, view));
    for (const Case& c : cases) {
        auto target = makeTexture(3, 1, 10, kBindShaderResource | kBindRenderTarget);
        context().setShaderResource(ShaderStage::Pixel, 0, view);
        context().setSampler(ShaderStage::Pixel, 0, samplers_[c.entry].createResource());
        draw(*ps, *target, nullptr, nullptr, rasterizers_[0].createResource());
        const auto px = readBack(*target);
        for (uint32_t x = 0; x < 3; ++x) {
            float got[4];
            texelHalf4(px, 3, x, 0, got);
            for (int k = 0; k < 4; ++k) EXPECT_NEAR(c.want[x][k], got[k], 2e-3f) << "sampler " << c.entry << " x " << x;
        }
    }
}

TEST_F(StateListTest, RasterizerEntryOneCullsTheQuadsCounterClockwiseStrip) {
    auto ps = pixelShader("float4 main(float4 p : SV_Position) : SV_Target { return 1; }");
    for (size_t entry : {size_t{0}, size_t{1}, size_t{2}}) {
        auto target = halfTexture(8, 8, std::vector<float>(8 * 8 * 4, 0.0f), kBindShaderResource | kBindRenderTarget);
        draw(*ps, *target, nullptr, nullptr, rasterizers_[entry].createResource());
        const auto px = readBack(*target);
        float centre[4];
        texelHalf4(px, 8, 2, 5, centre);
        EXPECT_EQ(entry == 0 ? 1.0f : 0.0f, centre[0]) << "rasterizer " << entry;
    }
}

}  // namespace
