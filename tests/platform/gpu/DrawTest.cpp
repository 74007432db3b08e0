#include <cmath>

#include "ShaderFixture.h"

using namespace Platform;
using namespace Platform::gpu;

using DrawTest = ShaderTest;

namespace {

std::vector<float> pattern(uint32_t w, uint32_t h) {
    std::vector<float> v;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) v.insert(v.end(), {x / 8.0f, y / 8.0f, 0.5f, 1.0f - x / 16.0f});
    return v;
}

void expectTexel(const std::vector<uint8_t>& px, uint32_t w, uint32_t x, uint32_t y, const float* want, float tol,
                 const char* what) {
    float got[4];
    texelHalf4(px, w, x, y, got);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(want[i], got[i], tol) << what << " at " << x << "," << y << " channel " << i;
}

}  // namespace

TEST_F(DrawTest, FullTargetCopyReadsBackEqualWithTheTopRowOnTop) {
    const uint32_t w = 8, h = 6;
    auto source = halfTexture(w, h, pattern(w, h), kBindShaderResource);
    std::unique_ptr<Platform::gpu::Shader> compiled = shader(
        "Texture2D<float4> src : register(t0);\n"
        "float4 main(float4 p : SV_Position) : SV_Target { return src.Load(int3(p.xy, 0)); }\n",
        "ps_5_0");
    const auto* builtinCode = ::Shader::BuiltinShaders::code("Copy", ShaderStage::Pixel);
    ASSERT_TRUE(builtinCode);
    std::unique_ptr<Platform::gpu::Shader> builtin;
    ASSERT_EQ(kOk, device().createShader(ShaderStage::Pixel, builtinCode->data(), builtinCode->size(), builtin));
    for (Platform::gpu::Shader* ps : {compiled.get(), builtin.get()}) {
        auto target = makeTexture(w, h, 10, kBindShaderResource | kBindRenderTarget);
        clear(*target, 9, 9, 9, 9);
        bindPositionQuad();
        context().setPixelShader(ps);
        setTarget(*target);
        context().setShaderResource(ShaderStage::Pixel, 0, srv(*source));
        context().draw(4, 0);
        context().setRenderTarget(nullptr);
        auto px = readBack(*target);
        const auto want = pattern(w, h);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) expectTexel(px, w, x, y, &want[(y * w + x) * 4], 2e-3f, "copy");
    }
    // Pixel centres sit at .5.
    auto position = shader("float4 main(float4 p : SV_Position) : SV_Target { return float4(p.xy, p.zw); }", "ps_5_0");
    auto target = makeTexture(w, h, 10, kBindShaderResource | kBindRenderTarget);
    bindPositionQuad();
    context().setPixelShader(position.get());
    setTarget(*target);
    context().draw(4, 0);
    context().setRenderTarget(nullptr);
    auto px = readBack(*target);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            float got[4];
            texelHalf4(px, w, x, y, got);
            EXPECT_NEAR(x + 0.5f, got[0], 1e-3) << x << "," << y;
            EXPECT_NEAR(y + 0.5f, got[1], 1e-3) << x << "," << y;
        }
    }
}

TEST_F(DrawTest, BlendTableEntriesGiveTheirFormulas) {
    struct Entry {
        uint8_t enable, src, dst, op, srcA, dstA, opA;
    };
    const uint8_t Z = kBlendZero, O = kBlendOne, SA = kBlendSrcAlpha, ISA = kBlendInvSrcAlpha, DA = kBlendDestAlpha,
                  IDA = kBlendInvDestAlpha, SC = kBlendSrcColor, F = kBlendFactor, IF = kBlendInvBlendFactor,
                  S1A = kBlendSrc1Alpha, IS1A = kBlendInvSrc1Alpha, ADD = kBlendOpAdd, MAX = kBlendOpMax;
    const Entry table[21] = {
        {1, O, ISA, ADD, O, ISA, ADD},   {1, IDA, O, ADD, IDA, O, ADD},       {1, SA, ISA, ADD, O, ISA, ADD},
        {0, Z, Z, ADD, Z, Z, ADD},       {1, IS1A, S1A, ADD, IS1A, S1A, ADD}, {1, S1A, IS1A, ADD, S1A, IS1A, ADD},
        {1, IS1A, Z, ADD, IS1A, Z, ADD}, {1, Z, SA, ADD, Z, SA, ADD},         {1, Z, ISA, ADD, Z, ISA, ADD},
        {1, Z, SA, ADD, O, Z, ADD},      {1, Z, SC, ADD, Z, O, ADD},          {1, O, O, ADD, O, ISA, ADD},
        {1, O, O, ADD, IDA, O, ADD},     {1, F, O, ADD, F, ISA, ADD},         {1, DA, Z, ADD, DA, Z, ADD},
        {1, O, O, MAX, O, O, MAX},       {1, Z, SA, ADD, Z, O, ADD},          {1, O, O, ADD, O, O, ADD},
        {1, DA, O, ADD, Z, O, ADD},      {1, F, IF, ADD, F, IF, ADD},         {1, IF, F, ADD, IF, F, ADD},
    };
    const float s[4] = {0.3f, 0.5f, 0.7f, 0.6f};
    const float s1[4] = {0.9f, 0.8f, 0.7f, 0.25f};
    const float d[4] = {0.2f, 0.4f, 0.1f, 0.5f};
    const float f[4] = {0.3f, 0.35f, 0.4f, 0.45f};
    auto factor = [&](uint8_t k, int c) -> float {
        switch (k) {
        case kBlendZero: return 0;
        case kBlendOne: return 1;
        case kBlendSrcColor: return s[c];
        case kBlendSrcAlpha: return s[3];
        case kBlendInvSrcAlpha: return 1 - s[3];
        case kBlendDestAlpha: return d[3];
        case kBlendInvDestAlpha: return 1 - d[3];
        case kBlendFactor: return f[c];
        case kBlendInvBlendFactor: return 1 - f[c];
        case kBlendSrc1Alpha: return s1[3];
        case kBlendInvSrc1Alpha: return 1 - s1[3];
        }
        ADD_FAILURE() << "factor " << int(k);
        return 0;
    };
    auto ps = shader(
        "struct Out { float4 c0 : SV_Target0; float4 c1 : SV_Target1; };\n"
        "Out main(float4 p : SV_Position) { Out o; o.c0 = float4(0.3, 0.5, 0.7, 0.6);\n"
        "  o.c1 = float4(0.9, 0.8, 0.7, 0.25); return o; }\n",
        "ps_5_0");
    for (int i = 0; i < 21; ++i) {
        const Entry& e = table[i];
        BlendDesc desc{e.enable, e.src, e.dst, e.op, e.srcA, e.dstA, e.opA, 0xF};
        std::unique_ptr<BlendState> state;
        ASSERT_EQ(kOk, device().createBlendState(desc, state));
        auto target = makeTexture(2, 2, 10, kBindShaderResource | kBindRenderTarget);
        clear(*target, d[0], d[1], d[2], d[3]);
        bindPositionQuad();
        context().setPixelShader(ps.get());
        setTarget(*target);
        context().setBlendState(state.get(), f);
        context().draw(4, 0);
        context().setRenderTarget(nullptr);
        float want[4];
        for (int c = 0; c < 4; ++c) {
            const bool alpha = c == 3;
            const uint8_t sf = alpha ? e.srcA : e.src, df = alpha ? e.dstA : e.dst, op = alpha ? e.opA : e.op;
            if (!e.enable)
                want[c] = s[c];
            else if (op == kBlendOpMax)
                want[c] = std::max(s[c], d[c]);
            else
                want[c] = s[c] * factor(sf, c) + d[c] * factor(df, c);
        }
        auto px = readBack(*target);
        expectTexel(px, 2, 1, 1, want, 3e-3f, ("blend entry " + std::to_string(i)).c_str());
    }
    // Without a factor the platform's default (1, 1, 1, 1) applies: entry 19 gives s.
    std::unique_ptr<BlendState> crossFade;
    ASSERT_EQ(kOk, device().createBlendState({1, F, IF, ADD, F, IF, ADD, 0xF}, crossFade));
    auto target = makeTexture(2, 2, 10, kBindShaderResource | kBindRenderTarget);
    clear(*target, d[0], d[1], d[2], d[3]);
    bindPositionQuad();
    context().setPixelShader(ps.get());
    setTarget(*target);
    context().setBlendState(crossFade.get(), nullptr);
    context().draw(4, 0);
    context().setRenderTarget(nullptr);
    expectTexel(readBack(*target), 2, 0, 0, s, 3e-3f, "default factor");
}

TEST_F(DrawTest, RasterizerCullsByTheProgramsWindingAndFillsWireframe) {
    auto ps = shader("float4 main(float4 p : SV_Position) : SV_Target { return 1; }", "ps_5_0");
    // Clip-space triangles: top-left, top-right, bottom-left is clockwise on the target.
    const float clockwise[9] = {-1, 1, 0, 1, 1, 0, -1, -1, 0};
    const float counter[9] = {-1, 1, 0, -1, -1, 0, 1, 1, 0};
    struct Case {
        const char* what;
        const float* vertices;
        RasterizerDesc desc;
        bool drawn;
    };
    const Case cases[] = {
        {"clockwise, cull back", clockwise, {kFillSolid, kCullBack, 0}, true},
        {"clockwise, cull front", clockwise, {kFillSolid, kCullFront, 0}, false},
        {"counter-clockwise, cull back", counter, {kFillSolid, kCullBack, 0}, false},
        {"counter-clockwise, cull none", counter, {kFillSolid, kCullNone, 0}, true},
    };
    const uint32_t n = 16;
    for (const Case& c : cases) {
        std::unique_ptr<RasterizerState> state;
        ASSERT_EQ(kOk, device().createRasterizerState(c.desc, state));
        std::unique_ptr<Buffer> vb;
        ASSERT_EQ(kOk, device().createBuffer(BufferKind::Vertex, 36, c.vertices, vb));
        auto target = makeTexture(n, n, 10, kBindShaderResource | kBindRenderTarget);
        clear(*target, 0, 0, 0, 0);
        bindPositionQuad();
        context().setVertexBuffer(vb.get(), 12, 0);
        context().setTopology(Topology::TriangleList);
        context().setPixelShader(ps.get());
        context().setRasterizerState(state.get());
        setTarget(*target);
        context().draw(3, 0);
        context().setRenderTarget(nullptr);
        auto px = readBack(*target);
        float topLeft[4], bottomRight[4];
        texelHalf4(px, n, 2, 2, topLeft);
        texelHalf4(px, n, 13, 13, bottomRight);
        EXPECT_EQ(c.drawn ? 1.0f : 0.0f, topLeft[0]) << c.what;
        EXPECT_EQ(0.0f, bottomRight[0]) << c.what;
    }
    std::unique_ptr<RasterizerState> wire;
    ASSERT_EQ(kOk, device().createRasterizerState({kFillWireframe, kCullNone, 0}, wire));
    auto target = makeTexture(n, n, 10, kBindShaderResource | kBindRenderTarget);
    clear(*target, 0, 0, 0, 0);
    bindPositionQuad();
    context().setPixelShader(ps.get());
    context().setRasterizerState(wire.get());
    setTarget(*target);
    context().draw(4, 0);
    context().setRenderTarget(nullptr);
    auto px = readBack(*target);
    float inside[4];
    texelHalf4(px, n, 4, 9, inside);
    EXPECT_EQ(0.0f, inside[0]);
    int lit = 0;
    for (uint32_t i = 0; i < n * n; ++i) {
        float t[4];
        texelHalf4(px, n, i % n, i / n, t);
        lit += t[0] > 0.5f;
    }
    EXPECT_GT(lit, 0);
    EXPECT_LT(lit, static_cast<int>(n * n / 2));
}

TEST_F(DrawTest, SamplersFollowTheirAddressModes) {
    // 4 x 4 texels; texel (x, y) holds (x + 1, y + 1, 0, 1) / 8.
    std::vector<float> texels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) texels.insert(texels.end(), {(x + 1) / 8.0f, (y + 1) / 8.0f, 0.0f, 1.0f});
    auto source = halfTexture(4, 4, texels, kBindShaderResource);
    auto ps = shader(
        "cbuffer C : register(b0) { float2 uv; };\n"
        "Texture2D<float4> t : register(t0); SamplerState s : register(s0);\n"
        "float4 main(float4 p : SV_Position) : SV_Target { return t.Sample(s, uv); }\n",
        "ps_5_0");
    auto texel = [&](int x, int y) { return std::vector<float>{(x + 1) / 8.0f, (y + 1) / 8.0f, 0.0f, 1.0f}; };
    const std::vector<float> none{0, 0, 0, 0};
    struct Case {
        const char* what;
        uint32_t filter;
        uint8_t u, v;
        float uv[2];
        std::vector<float> want;
    };
    const Case cases[] = {
        {"border outside", kFilterPoint, kAddressBorder, kAddressBorder, {1.25f, 0.5f}, none},
        {"border inside", kFilterPoint, kAddressBorder, kAddressBorder, {0.375f, 0.125f}, texel(1, 0)},
        {"wrap", kFilterPoint, kAddressWrap, kAddressWrap, {1.125f, -0.625f}, texel(0, 1)},
        {"mirror", kFilterPoint, kAddressMirror, kAddressMirror, {1.125f, 0.375f}, texel(3, 1)},
        {"clamp", kFilterPoint, kAddressClamp, kAddressClamp, {1.5f, -0.5f}, texel(3, 0)},
        {"mirror u, border v outside", kFilterPoint, kAddressMirror, kAddressBorder, {1.125f, 1.5f}, none},
        {"mirror u, border v inside", kFilterPoint, kAddressMirror, kAddressBorder, {1.125f, 0.375f}, texel(3, 1)},
        {"linear border edge",
         kFilterLinear,
         kAddressBorder,
         kAddressBorder,
         {0.0f, 0.125f},
         {1 / 16.0f, 1 / 16.0f, 0, 0.5f}},
        {"linear clamp centre", kFilterLinear, kAddressClamp, kAddressClamp, {0.5f, 0.5f}, {2.5f / 8, 2.5f / 8, 0, 1}},
    };
    std::unique_ptr<Buffer> cb;
    ASSERT_EQ(kOk, device().createBuffer(BufferKind::Constant, 16, nullptr, cb));
    for (const Case& c : cases) {
        SamplerDesc desc;
        desc.filter = c.filter;
        desc.addressU = c.u;
        desc.addressV = c.v;
        desc.addressW = c.v;
        std::unique_ptr<SamplerState> sampler;
        ASSERT_EQ(kOk, device().createSamplerState(desc, sampler));
        const float data[4] = {c.uv[0], c.uv[1], 0, 0};
        context().updateSubresource(*cb, data);
        auto target = makeTexture(1, 1, 10, kBindShaderResource | kBindRenderTarget);
        bindPositionQuad();
        context().setPixelShader(ps.get());
        setTarget(*target);
        context().setShaderResource(ShaderStage::Pixel, 0, srv(*source));
        context().setSampler(ShaderStage::Pixel, 0, sampler.get());
        context().setConstantBuffer(ShaderStage::Pixel, 0, cb.get());
        context().draw(4, 0);
        context().setRenderTarget(nullptr);
        context().setSampler(ShaderStage::Pixel, 0, nullptr);
        expectTexel(readBack(*target), 1, 0, 0, c.want.data(), 2e-3f, c.what);
    }
}

TEST_F(DrawTest, LoadsOutsideATextureAndUnboundViewsReadZero) {
    auto source = halfTexture(4, 4, std::vector<float>(64, 1.0f), kBindShaderResource);
    auto ps = shader(
        "Texture2D<float4> t : register(t0); Texture2D<float4> unbound : register(t1);\n"
        "float4 main(float4 p : SV_Position) : SV_Target {\n"
        "  return float4(t.Load(int3(10, 1, 0)).x, t.Load(int3(-1, 0, 0)).y, unbound.Load(int3(0, 0, 0)).z,\n"
        "                t.Load(int3(1, 1, 0)).w); }\n",
        "ps_5_0");
    auto target = makeTexture(1, 1, 10, kBindShaderResource | kBindRenderTarget);
    bindPositionQuad();
    context().setPixelShader(ps.get());
    setTarget(*target);
    context().setShaderResource(ShaderStage::Pixel, 0, srv(*source));
    context().draw(4, 0);
    context().setRenderTarget(nullptr);
    const float want[4] = {0, 0, 0, 1};
    expectTexel(readBack(*target), 1, 0, 0, want, 1e-3f, "robust loads");
}

TEST_F(DrawTest, AConstantBufferUpdatedBetweenDrawsAffectsOnlyLaterDraws) {
    auto ps = shader(
        "cbuffer C : register(b0) { float4 colour; };\n"
        "float4 main(float4 p : SV_Position) : SV_Target { return colour; }\n",
        "ps_5_0");
    const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1};
    std::unique_ptr<Buffer> cb;
    ASSERT_EQ(kOk, device().createBuffer(BufferKind::Constant, 16, red, cb));
    auto a = makeTexture(2, 2, 10, kBindShaderResource | kBindRenderTarget);
    auto b = makeTexture(2, 2, 10, kBindShaderResource | kBindRenderTarget);
    bindPositionQuad();
    context().setPixelShader(ps.get());
    context().setConstantBuffer(ShaderStage::Pixel, 0, cb.get());
    setTarget(*a);
    context().draw(4, 0);
    context().updateSubresource(*cb, green);
    setTarget(*b);
    context().draw(4, 0);
    context().setRenderTarget(nullptr);
    expectTexel(readBack(*a), 2, 0, 0, red, 1e-3f, "first draw");
    expectTexel(readBack(*b), 2, 0, 0, green, 1e-3f, "second draw");
}

TEST_F(DrawTest, InputLayoutsFeedVertexShadersBySemantic) {
    // POSITION fed from three floats reads w = 1; COLOR four floats at 12 (stride 28);
    // the pixel shader declares its inputs in another order than the vertex outputs.
    const char* vsSource =
        "struct O { float4 p : SV_Position; float2 uv : TEXCOORD; float4 c : COLOR; };\n"
        "O main(float4 pos : POSITION, float4 col : COLOR) { O o; o.p = float4(pos.xyz, 1);\n"
        "  o.uv = float2(pos.w, 0.25); o.c = col; return o; }\n";
    auto vsCode = compile(vsSource, "vs_5_0");
    std::unique_ptr<Platform::gpu::Shader> vs;
    ASSERT_EQ(kOk, device().createShader(ShaderStage::Vertex, vsCode.data(), vsCode.size(), vs));
    const InputElement elements[2] = {{"POSITION", 0, kElementR32G32B32Float, kAppendAligned},
                                      {"COLOR", 0, kElementR32G32B32A32Float, kAppendAligned}};
    std::unique_ptr<InputLayout> layout;
    ASSERT_EQ(kOk, device().createInputLayout(elements, 2, vsCode.data(), vsCode.size(), layout));
    EXPECT_EQ(12u, layout->elements()[1].offset);
    std::unique_ptr<InputLayout> partial;
    EXPECT_EQ(kInvalidArg, device().createInputLayout(elements, 1, vsCode.data(), vsCode.size(), partial));

    auto ps = shader(
        "float4 main(float4 p : SV_Position, float4 c : COLOR, float2 uv : TEXCOORD) : SV_Target {\n"
        "  return float4(c.rg, uv); }\n",
        "ps_5_0");
    float vertices[4 * 7];
    const float corners[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        float* v = vertices + i * 7;
        v[0] = corners[i][0];
        v[1] = corners[i][1];
        v[2] = 0;
        v[3] = 0.75f;
        v[4] = 0.5f;
        v[5] = 0.125f;
        v[6] = 1;
    }
    std::unique_ptr<Buffer> vb;
    ASSERT_EQ(kOk, device().createBuffer(BufferKind::Vertex, sizeof vertices, vertices, vb));
    auto target = makeTexture(2, 2, 10, kBindShaderResource | kBindRenderTarget);
    bindPositionQuad();
    context().setVertexShader(vs.get(), layout.get());
    context().setVertexBuffer(vb.get(), 28, 0);
    context().setTopology(Topology::TriangleStrip);
    context().setPixelShader(ps.get());
    setTarget(*target);
    context().draw(4, 0);
    context().setRenderTarget(nullptr);
    const float want[4] = {0.75f, 0.5f, 1.0f, 0.25f};
    expectTexel(readBack(*target), 2, 1, 0, want, 1e-3f, "layout");
}

TEST_F(DrawTest, ResolveOfAnEdgePixelGivesTheAverageOfItsSamples) {
    auto ps = shader("float4 main(float4 p : SV_Position) : SV_Target { return 1; }", "ps_5_0");
    const uint32_t n = 4;
    auto ms = makeTexture(n, n, 10, kBindRenderTarget, nullptr, 0, 4);
    auto resolved = makeTexture(n, n, 10, kBindShaderResource | kBindRenderTarget);
    clear(*ms, 0, 0, 0, 0);
    const float triangle[9] = {-1, 1, 0, 1, 1, 0, -1, -1, 0};  // the top-left half; its edge crosses pixel centres
    std::unique_ptr<Buffer> vb;
    ASSERT_EQ(kOk, device().createBuffer(BufferKind::Vertex, sizeof triangle, triangle, vb));
    bindPositionQuad();
    context().setVertexBuffer(vb.get(), 12, 0);
    context().setTopology(Topology::TriangleList);
    context().setPixelShader(ps.get());
    setTarget(*ms);
    context().draw(3, 0);
    context().setRenderTarget(nullptr);
    context().resolveSubresource(*resolved, *ms);
    auto px = readBack(*resolved);
    float t[4];
    texelHalf4(px, n, 0, 0, t);
    EXPECT_NEAR(1.0f, t[0], 1e-3);
    texelHalf4(px, n, 3, 3, t);
    EXPECT_NEAR(0.0f, t[0], 1e-3);
    texelHalf4(px, n, 1, 2, t);
    EXPECT_GT(t[0], 0.2f);
    EXPECT_LT(t[0], 0.8f);
}

TEST_F(DrawTest, ComputeWritesAFullFrameUnorderedAccessView) {
    const uint32_t w = 1920, h = 1080;
    auto cs = shader(
        "RWTexture2D<float4> outp : register(u0);\n"
        "[numthreads(8, 8, 1)] void main(uint3 id : SV_DispatchThreadID) {\n"
        "  outp[id.xy] = float4(id.x / 2048.0, id.y / 2048.0, 0.25, 1); }\n",
        "cs_5_0");
    ASSERT_EQ(8u, cs->reflection().threadGroup[0]);
    auto target = makeTexture(w, h, 10, kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess);
    View* uav = nullptr;
    ASSERT_EQ(kOk, target->view(ViewKind::UnorderedAccess, uav));
    context().setComputeShader(cs.get());
    context().setUnorderedAccessView(ShaderStage::Compute, 0, uav);
    context().dispatch(w / 8, h / 8, 1);
    context().setUnorderedAccessView(ShaderStage::Compute, 0, nullptr);
    auto px = readBack(*target);
    int wrong = 0;
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            float t[4];
            texelHalf4(px, w, x, y, t);
            const float tol = 1e-3f;
            if (std::fabs(t[0] - x / 2048.0f) > tol || std::fabs(t[1] - y / 2048.0f) > tol ||
                std::fabs(t[2] - 0.25f) > tol || t[3] != 1.0f)
                ++wrong;
        }
    }
    EXPECT_EQ(0, wrong);
}

TEST_F(DrawTest, ComputeReadsUnorderedAccessViewsOfDifferentFormats) {
    auto cs = shader(
        "cbuffer C : register(b0) { float scale; };\n"
        "Texture2D<float4> src : register(t0);\n"
        "RWTexture2D<float4> colour : register(u0); RWTexture2D<float> depth : register(u1);\n"
        "[numthreads(4, 4, 1)] void main(uint3 id : SV_DispatchThreadID) {\n"
        "  colour[id.xy] = colour[id.xy] + depth[id.xy] * scale + src.Load(int3(id.xy, 0));\n"
        "  depth[id.xy] = depth[id.xy] + 1; }\n",
        "cs_5_0");
    auto colour = halfTexture(4, 4, std::vector<float>(64, 0.125f),
                              kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess);
    auto depth = makeTexture(4, 4, 41, kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess);
    auto src = halfTexture(4, 4, std::vector<float>(64, 0.0625f), kBindShaderResource);
    View* depthUav = nullptr;
    View* colourUav = nullptr;
    ASSERT_EQ(kOk, depth->view(ViewKind::UnorderedAccess, depthUav));
    ASSERT_EQ(kOk, colour->view(ViewKind::UnorderedAccess, colourUav));
    const float quarter[4] = {0.25f, 0.25f, 0.25f, 0.25f};
    context().clearUnorderedAccessViewFloat(depthUav, quarter);
    const float scale[4] = {2, 0, 0, 0};
    std::unique_ptr<Buffer> cb;
    ASSERT_EQ(kOk, device().createBuffer(BufferKind::Constant, 16, scale, cb));
    context().setComputeShader(cs.get());
    context().setConstantBuffer(ShaderStage::Compute, 0, cb.get());
    context().setShaderResource(ShaderStage::Compute, 0, srv(*src));
    context().setUnorderedAccessView(ShaderStage::Compute, 0, colourUav);
    context().setUnorderedAccessView(ShaderStage::Compute, 1, depthUav);
    context().dispatch(1, 1, 1);
    context().dispatch(1, 1, 1);  // the second sees the first one's writes
    context().setUnorderedAccessView(ShaderStage::Compute, 0, nullptr);
    context().setUnorderedAccessView(ShaderStage::Compute, 1, nullptr);
    // colour: 0.125 + (0.25 * 2 + 0.0625) + (1.25 * 2 + 0.0625)
    const float c = 0.125f + 0.5625f + 2.5625f;
    const float want[4] = {c, c, c, c};
    expectTexel(readBack(*colour), 4, 3, 2, want, 4e-3f, "colour");
    auto d = readBack(*depth);
    float v;
    std::memcpy(&v, d.data() + 4 * 5, 4);
    EXPECT_FLOAT_EQ(2.25f, v);
}

TEST_F(DrawTest, PixelShadersWriteUnorderedAccessViewsBesideTheTarget) {
    // As the 3D output stage binds them: the target, then u1 (R32F) and u2 (RGBA16F);
    // u2 is declared rasterizer-ordered and accumulates over overlapping draws.
    auto ps = shader(
        "RWTexture2D<float> depthBuffer : register(u1);\n"
        "RasterizerOrderedTexture2D<float4> transparentBuffer : register(u2);\n"
        "float4 main(float4 p : SV_Position) : SV_Target {\n"
        "  uint2 at = uint2(p.xy);\n"
        "  depthBuffer[at] = min(depthBuffer[at], p.x);\n"
        "  transparentBuffer[at] = transparentBuffer[at] + float4(0.25, 0.5, 1, 0);\n"
        "  return float4(1, 0, 0, 1); }\n",
        "ps_5_0");
    EXPECT_TRUE(ps->reflection().orderedViews);
    const uint32_t n = 4;
    auto target = makeTexture(n, n, 10, kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess);
    auto depth = makeTexture(n, n, 41, kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess);
    auto transparent = makeTexture(n, n, 10, kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess);
    View* depthUav = nullptr;
    View* transparentUav = nullptr;
    ASSERT_EQ(kOk, depth->view(ViewKind::UnorderedAccess, depthUav));
    ASSERT_EQ(kOk, transparent->view(ViewKind::UnorderedAccess, transparentUav));
    const float far[4] = {1e10f, 1e10f, 1e10f, 1e10f};
    context().clearUnorderedAccessViewFloat(depthUav, far);
    clear(*transparent, 0, 0, 0, 0);
    bindPositionQuad();
    context().setPixelShader(ps.get());
    setTarget(*target);
    context().setUnorderedAccessView(ShaderStage::Pixel, 1, depthUav);
    context().setUnorderedAccessView(ShaderStage::Pixel, 2, transparentUav);
    for (int i = 0; i < 3; ++i) context().draw(4, 0);
    context().setRenderTarget(nullptr);
    context().setUnorderedAccessView(ShaderStage::Pixel, 1, nullptr);
    context().setUnorderedAccessView(ShaderStage::Pixel, 2, nullptr);
    const float red[4] = {1, 0, 0, 1};
    expectTexel(readBack(*target), n, 2, 3, red, 1e-3f, "target");
    const float sum[4] = {0.75f, 1.5f, 3, 0};
    expectTexel(readBack(*transparent), n, 2, 3, sum, 2e-3f, "accumulated");
    auto d = readBack(*depth);
    float v;
    std::memcpy(&v, d.data() + (3 * n + 2) * 4, 4);
    EXPECT_FLOAT_EQ(2.5f, v);
}

TEST_F(DrawTest, VertexAndPixelStagesKeepTheirOwnConstantBuffers) {
    auto vsCode = compile(
        "cbuffer Constant : register(b0) { float4 shift; };\n"
        "struct O { float4 p : SV_Position; float4 c : COLOR; };\n"
        "O main(float3 pos : POSITION) { O o; o.p = float4(pos, 1); o.c = shift; return o; }\n",
        "vs_5_0");
    std::unique_ptr<Platform::gpu::Shader> vs;
    ASSERT_EQ(kOk, device().createShader(ShaderStage::Vertex, vsCode.data(), vsCode.size(), vs));
    const InputElement e{"POSITION", 0, kElementR32G32B32Float, kAppendAligned};
    std::unique_ptr<InputLayout> layout;
    ASSERT_EQ(kOk, device().createInputLayout(&e, 1, vsCode.data(), vsCode.size(), layout));
    auto ps = shader(
        "cbuffer Constant : register(b0) { float4 scale; };\n"
        "float4 main(float4 p : SV_Position, float4 c : COLOR) : SV_Target { return c * scale; }\n",
        "ps_5_0");
    const float shift[4] = {0.5f, 0.25f, 1, 1}, scale[4] = {2, 2, 0.5f, 1};
    std::unique_ptr<Buffer> vsCb, psCb;
    ASSERT_EQ(kOk, device().createBuffer(BufferKind::Constant, 16, shift, vsCb));
    ASSERT_EQ(kOk, device().createBuffer(BufferKind::Constant, 16, scale, psCb));
    auto target = makeTexture(2, 2, 10, kBindShaderResource | kBindRenderTarget);
    bindPositionQuad();
    context().setVertexShader(vs.get(), layout.get());
    context().setPixelShader(ps.get());
    context().setConstantBuffer(ShaderStage::Vertex, 0, vsCb.get());
    context().setConstantBuffer(ShaderStage::Pixel, 0, psCb.get());
    setTarget(*target);
    context().draw(4, 0);
    context().setRenderTarget(nullptr);
    context().setConstantBuffer(ShaderStage::Vertex, 0, nullptr);
    const float want[4] = {1, 0.5f, 0.5f, 1};
    expectTexel(readBack(*target), 2, 0, 1, want, 1e-3f, "two stages");
}

TEST_F(DrawTest, EmulatedFormatsReadAsTheProgramsFormats) {
    // Loaded through a shader: A8 as (0, 0, 0, a); BGRX with alpha one; YUY2
    // pairs as (U, Y, V, 1) per pixel; BGRA in colour order.
    auto ps = shader(
        "Texture2D<float4> t : register(t0);\n"
        "float4 main(float4 p : SV_Position) : SV_Target { return t.Load(int3(p.xy, 0)); }\n",
        "ps_5_0");
    const uint8_t a8[2] = {51, 204};
    const uint8_t bgrx[8] = {0, 51, 102, 7, 255, 204, 153, 0};
    const uint8_t yuy2[4] = {16, 128, 235, 64};
    const uint8_t bgra[8] = {0, 51, 102, 153, 255, 204, 153, 51};
    struct Case {
        int32_t format;
        const uint8_t* data;
        uint32_t pitch;
        float want[2][4];
    };
    const Case cases[] = {
        {65, a8, 2, {{0, 0, 0, 0.2f}, {0, 0, 0, 0.8f}}},
        {88, bgrx, 8, {{0.4f, 0.2f, 0, 1}, {0.6f, 0.8f, 1, 1}}},
        {107, yuy2, 4, {{128 / 255.0f, 16 / 255.0f, 64 / 255.0f, 1}, {128 / 255.0f, 235 / 255.0f, 64 / 255.0f, 1}}},
        {87, bgra, 8, {{0.4f, 0.2f, 0, 0.6f}, {0.6f, 0.8f, 1, 0.2f}}},
    };
    for (const Case& c : cases) {
        auto source = makeTexture(2, 1, c.format, kBindShaderResource, c.data, c.pitch);
        auto target = makeTexture(2, 1, 10, kBindShaderResource | kBindRenderTarget);
        bindPositionQuad();
        context().setPixelShader(ps.get());
        setTarget(*target);
        context().setShaderResource(ShaderStage::Pixel, 0, srv(*source));
        context().draw(4, 0);
        context().setRenderTarget(nullptr);
        context().setShaderResource(ShaderStage::Pixel, 0, nullptr);
        auto px = readBack(*target);
        const std::string what = "format " + std::to_string(c.format);
        expectTexel(px, 2, 0, 0, c.want[0], 3e-3f, what.c_str());
        expectTexel(px, 2, 1, 0, c.want[1], 3e-3f, what.c_str());
    }
}

TEST_F(DrawTest, OrderedViewsDrawnQuadByQuadKeepTheirOrder) {
    // A device that keeps the order by drawing each quad on its own, as on
    // drivers without in-order fragments: overlapping quads of one strip and of
    // one list apply in vertex order.
    DeviceOptions options;
    options.validation = true;
    options.orderByDraws = true;
    std::unique_ptr<Device> ordered;
    ASSERT_EQ(kOk, Device::create(options, ordered));
    ASSERT_TRUE(ordered->ordersByDraws());
    Context& ctx = ordered->context();
    auto code = [&](const char* src, const char* target) { return compile(src, target); };
    auto vsCode = code("float4 main(float3 p : POSITION) : SV_Position { return float4(p, 1); }", "vs_5_0");
    auto psCode = code(
        "RasterizerOrderedTexture2D<float4> acc : register(u1);\n"
        "float4 main(float4 p : SV_Position) : SV_Target {\n"
        "  uint2 at = uint2(p.xy); acc[at] = acc[at] * 2 + 1; return 1; }\n",
        "ps_5_0");
    std::unique_ptr<Platform::gpu::Shader> vs, ps;
    ASSERT_EQ(kOk, ordered->createShader(ShaderStage::Vertex, vsCode.data(), vsCode.size(), vs));
    ASSERT_EQ(kOk, ordered->createShader(ShaderStage::Pixel, psCode.data(), psCode.size(), ps));
    const InputElement e{"POSITION", 0, kElementR32G32B32Float, kAppendAligned};
    std::unique_ptr<InputLayout> layout;
    ASSERT_EQ(kOk, ordered->createInputLayout(&e, 1, vsCode.data(), vsCode.size(), layout));
    std::unique_ptr<RasterizerState> cullNone;
    ASSERT_EQ(kOk, ordered->createRasterizerState({kFillSolid, kCullNone, 0}, cullNone));
    // Three full-target quads: a strip of 8 vertices (3 quads) and a list of 18 (3 quads).
    std::vector<float> strip, list;
    for (int q = 0; q < 4; ++q) strip.insert(strip.end(), {-1, q % 2 ? 1.0f : -1.0f, 0, 1, q % 2 ? 1.0f : -1.0f, 0});
    for (int q = 0; q < 3; ++q) list.insert(list.end(), {-1, -1, 0, 1, -1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1, 1, 0});
    // A list that ends in a lone triangle (one covering the target) and that triangle alone.
    std::vector<float> triangle{-1, -1, 0, 3, -1, 0, -1, 3, 0};
    std::vector<float> listTail(list.begin(), list.begin() + 18);
    listTail.insert(listTail.end(), triangle.begin(), triangle.end());
    struct Case {
        const char* what;
        std::vector<float>* vertices;
        Topology topology;
        uint32_t count;
        float want;
    };
    // Every quad covers each pixel once and doubles the value and adds one, so
    // three quads give 7 when none is skipped, drawn twice or lost to a race.
    const Case cases[] = {{"strip", &strip, Topology::TriangleStrip, 8, 7},
                          {"list", &list, Topology::TriangleList, 18, 7},
                          {"list ending in a lone triangle", &listTail, Topology::TriangleList, 9, 3},
                          {"one triangle", &triangle, Topology::TriangleList, 3, 1}};
    for (const Case& c : cases) {
        std::unique_ptr<Buffer> vb;
        ASSERT_EQ(kOk, ordered->createBuffer(BufferKind::Vertex, static_cast<uint32_t>(c.vertices->size() * 4),
                                             c.vertices->data(), vb));
        std::unique_ptr<Texture> target, acc;
        ASSERT_EQ(kOk, ordered->createTexture({2, 2, 10, 1, kBindShaderResource | kBindRenderTarget}, nullptr, target));
        ASSERT_EQ(kOk,
                  ordered->createTexture({2, 2, 10, 1, kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess},
                                         nullptr, acc));
        View *rtv = nullptr, *uav = nullptr;
        ASSERT_EQ(kOk, target->view(ViewKind::RenderTarget, rtv));
        ASSERT_EQ(kOk, acc->view(ViewKind::UnorderedAccess, uav));
        const float zero[4] = {0, 0, 0, 0};
        ctx.clearUnorderedAccessViewFloat(uav, zero);
        ctx.setVertexShader(vs.get(), layout.get());
        ctx.setPixelShader(ps.get());
        ctx.setVertexBuffer(vb.get(), 12, 0);
        ctx.setTopology(c.topology);
        ctx.setRasterizerState(cullNone.get());
        ctx.setRenderTarget(rtv);
        ctx.setViewport({0, 0, 2, 2, 0, 1});
        ctx.setUnorderedAccessView(ShaderStage::Pixel, 1, uav);
        const uint64_t before = ctx.submissionCount();
        ctx.draw(c.count, 0);
        ctx.setUnorderedAccessView(ShaderStage::Pixel, 1, nullptr);
        ctx.setRenderTarget(nullptr);
        std::unique_ptr<StagingTexture> staging;
        ASSERT_EQ(kOk, ordered->createStagingTexture(2, 2, 10, staging));
        (void)ctx.copyResource(*staging, *acc);
        MappedTexture m;
        ASSERT_EQ(kOk, ctx.map(*staging, m));
        EXPECT_EQ(before + 1, ctx.submissionCount()) << c.what;
        uint16_t h;
        std::memcpy(&h, static_cast<const uint8_t*>(m.data) + m.rowPitch + 8, 2);
        EXPECT_EQ(c.want, halfToFloat(h)) << c.what;
    }
    EXPECT_EQ(Platform::Result(0), ctx.finish());
    EXPECT_EQ(0u, ordered->validationMessageCount()) << ordered->validationMessages();
}

TEST_F(DrawTest, AViewReadAndWrittenInOneDispatchReadsAsUnbound) {
    // Bound both as t0 and as u0, the texture is written; its shader-resource
    // view reads as unbound (0), as on the program's platform.
    auto cs = shader(
        "Texture2D<float4> src : register(t0); RWTexture2D<float4> dst : register(u0);\n"
        "[numthreads(2, 2, 1)] void main(uint3 id : SV_DispatchThreadID) {\n"
        "  dst[id.xy] = src.Load(int3(id.xy, 0)) + 0.5; }\n",
        "cs_5_0");
    auto t = halfTexture(2, 2, std::vector<float>(16, 0.25f),
                         kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess);
    View* uav = nullptr;
    ASSERT_EQ(kOk, t->view(ViewKind::UnorderedAccess, uav));
    context().setComputeShader(cs.get());
    context().setShaderResource(ShaderStage::Compute, 0, srv(*t));
    context().setUnorderedAccessView(ShaderStage::Compute, 0, uav);
    context().dispatch(1, 1, 1);
    context().setUnorderedAccessView(ShaderStage::Compute, 0, nullptr);
    context().setShaderResource(ShaderStage::Compute, 0, nullptr);
    const float half[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    expectTexel(readBack(*t), 2, 1, 1, half, 1e-3f, "read as unbound");
}

// A group count past the per-dimension limit drops the dispatch, as on the
// program's platform, instead of running billions of groups.
TEST_F(DrawTest, ADispatchPastTheGroupLimitIsDropped) {
    auto cs = shader(
        "RWTexture2D<float4> dst : register(u0);\n"
        "[numthreads(1, 1, 1)] void main(uint3 id : SV_DispatchThreadID) {\n"
        "  if (id.x == 0 && id.y < 4) dst[uint2(id.z % 4, id.y)] = float4(1, 1, 1, 1); }\n",
        "cs_5_0");
    struct Case {
        uint32_t x, y, z;
        float written;
    };
    const Case cases[] = {{1, 1, 65536, 0.0f}, {1, 0xffffffffu, 1, 0.0f}, {1, 4, 4, 1.0f}};
    for (const Case& c : cases) {
        auto t = halfTexture(4, 4, std::vector<float>(64, 0.0f), kBindShaderResource | kBindUnorderedAccess);
        View* uav = nullptr;
        ASSERT_EQ(kOk, t->view(ViewKind::UnorderedAccess, uav));
        context().setComputeShader(cs.get());
        context().setUnorderedAccessView(ShaderStage::Compute, 0, uav);
        context().dispatch(c.x, c.y, c.z);
        context().setUnorderedAccessView(ShaderStage::Compute, 0, nullptr);
        const float want[4] = {c.written, c.written, c.written, c.written};
        expectTexel(readBack(*t), 4, 3, 3, want, 1e-3f, "dispatch");
    }
}

// A target destroyed while it is still set and drawn into, then a new texture
// made (with the usual allocator, at the same address): draws go into the new
// texture, not into the old image.
TEST_F(DrawTest, ATargetMadeWhereADestroyedOneWasGetsItsOwnDraws) {
    auto ps = shader(
        "cbuffer C : register(b0) { float4 colour; };\n"
        "float4 main(float4 p : SV_Position) : SV_Target { return colour; }\n",
        "ps_5_0");
    std::unique_ptr<Buffer> cb;
    ASSERT_EQ(kOk, device().createBuffer(BufferKind::Constant, 16, nullptr, cb));
    auto drawColour = [&](Texture& target, float r, float g) {
        const float c[4] = {r, g, 0, 1};
        context().updateSubresource(*cb, c);
        bindPositionQuad();
        context().setPixelShader(ps.get());
        context().setConstantBuffer(ShaderStage::Pixel, 0, cb.get());
        setTarget(target);
        context().draw(4, 0);
    };
    auto first = makeTexture(4, 4, 10, kBindShaderResource | kBindRenderTarget);
    drawColour(*first, 0, 1);
    first.reset();  // still the context's target
    auto second = makeTexture(4, 4, 10, kBindShaderResource | kBindRenderTarget);
    drawColour(*second, 1, 0);
    context().setRenderTarget(nullptr);
    const float want[4] = {1, 0, 0, 1};
    expectTexel(readBack(*second), 4, 2, 2, want, 2e-3f, "second target");
}

TEST_F(DrawTest, AVertexShaderReadsWhatThePassBeforeDrew) {
    auto source = makeTexture(2, 2, 10, kBindShaderResource | kBindRenderTarget);
    auto fill =
        shader("float4 main(float4 p : SV_Position) : SV_Target { return float4(0.75, 0.5, 0.25, 1); }", "ps_5_0");
    bindPositionQuad();
    context().setPixelShader(fill.get());
    setTarget(*source);
    context().draw(4, 0);
    context().setRenderTarget(nullptr);

    auto vsCode = compile(
        "Texture2D<float4> t : register(t0);\n"
        "struct O { float4 p : SV_Position; float4 c : COLOR; };\n"
        "O main(float3 p : POSITION) { O o; o.p = float4(p, 1); o.c = t.Load(int3(1, 1, 0)); return o; }",
        "vs_5_0");
    std::unique_ptr<Platform::gpu::Shader> vs;
    ASSERT_EQ(kOk, device().createShader(ShaderStage::Vertex, vsCode.data(), vsCode.size(), vs));
    const InputElement e{"POSITION", 0, kElementR32G32B32Float, kAppendAligned};
    std::unique_ptr<InputLayout> layout;
    ASSERT_EQ(kOk, device().createInputLayout(&e, 1, vsCode.data(), vsCode.size(), layout));
    auto colour = shader("float4 main(float4 p : SV_Position, float4 c : COLOR) : SV_Target { return c; }", "ps_5_0");
    auto target = makeTexture(2, 2, 10, kBindShaderResource | kBindRenderTarget);
    bindPositionQuad();
    context().setVertexShader(vs.get(), layout.get());
    context().setPixelShader(colour.get());
    context().setShaderResource(ShaderStage::Vertex, 0, srv(*source));
    setTarget(*target);
    context().draw(4, 0);
    context().setRenderTarget(nullptr);
    context().setShaderResource(ShaderStage::Vertex, 0, nullptr);
    const float want[4] = {0.75f, 0.5f, 0.25f, 1};
    expectTexel(readBack(*target), 2, 1, 1, want, 2e-3f, "colour read by the vertex shader");
}
