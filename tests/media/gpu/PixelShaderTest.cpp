#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "MediaFixture.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/VertexShader.h"
#include "support/LogCapture.h"

using Media::PixelShader;
using namespace Platform::gpu;

namespace {

// The calls made on the context, with the objects named by the test.
class Spy : public ContextTrace {
public:
    explicit Spy(Context& context) : context_(context) { context_.setTrace(this); }
    ~Spy() override { context_.setTrace(nullptr); }
    void name(const void* object, std::string name) { names_.push_back({object, std::move(name)}); }
    void call(const char* call, uint32_t slot, const void* object) override {
        std::string line = call;
        if (std::string(call) == "setConstantBuffer" || std::string(call) == "setShaderResource" ||
            std::string(call) == "setUnorderedAccessView" || std::string(call) == "draw" ||
            std::string(call) == "setBlendState")
            line += " " + std::to_string(slot);
        if (std::string(call) != "setTopology" && std::string(call) != "setVertexBuffer" &&
            std::string(call) != "draw" && std::string(call) != "setViewport") {
            std::string n = object ? "?" : "null";
            for (const auto& [o, s] : names_)
                if (o == object) n = s;
            line += " " + n;
        }
        calls.push_back(line);
    }
    std::vector<std::string> calls;

private:
    Context& context_;
    std::vector<std::pair<const void*, std::string>> names_;
};

class PixelShaderTest : public ResourceTest {
protected:
    void SetUp() override {
        // Nothing counts as bound: the first pass sets every state.
        d3d().boundPixelShader = nullptr;
        d3d().boundVertexShader = nullptr;
        d3d().boundBlendState = nullptr;
        d3d().boundRasterizerState = nullptr;
    }
    static std::string pass(const char* body) {
        return std::string("Texture2D<float4> t0 : register(t0); Texture2D<float4> t1 : register(t1);\n") + body;
    }
};

TEST_F(PixelShaderTest, PassesBindAndUnbindInOrder) {
    PixelShader ps;
    ps.compile("sum.hlsl",
               pass("cbuffer C : register(b0) { float4 k; };\n"
                    "float4 main(float4 p : SV_Position) : SV_Target {\n"
                    "  return t0.Load(int3(p.xy, 0)) + t1.Load(int3(p.xy, 0)) + k; }\n")
                   .c_str(),
               "main");
    auto first = resourceFrom(2, 2, std::vector<float>(16, 0.125f));
    auto second = resourceFrom(2, 2, std::vector<float>(16, 0.25f));
    Media::ResourceBuffer target(2, 2);
    Media::ConstantBufferCommon constant;
    const float k[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    constant.create(k, 16);
    EXPECT_EQ(nullptr, first->shaderResourceView);
    Spy spy(context());
    spy.name(constant.buffer.get(), "b");
    spy.name(ps.shader.get(), "ps");
    spy.name(resources().blendStates[0].createResource(), "blend0");
    spy.name(resources().blendStates[3].createResource(), "blend3");
    spy.name(resources().rasterizerStates[0].createResource(), "rasterizer0");
    spy.name(resources().pixelShaders.positionQuadShader.shader.get(), "quadVs");
    spy.name(target.getRenderTargetView(), "target");
    spy.name(first->getShaderResourceView(), "first");  // made here by the spy, as the pass would
    spy.name(second->getShaderResourceView(), "second");

    ps.drawResourceToResourceWithConstant(target, *first, constant.buffer.get(), nullptr);
    const std::vector<std::string> withConstant = {
        "setConstantBuffer 0 b",
        "setRenderTarget target",
        "setViewport",
        "setShaderResource 0 first",
        "setRasterizerState rasterizer0",
        "setBlendState 0 blend3",
        "setVertexShader quadVs",
        "setPixelShader ps",
        "setTopology",
        "setVertexBuffer",
        "draw 4",
        "setShaderResource 0 null",
        "setRenderTarget null",
    };
    EXPECT_EQ(withConstant, spy.calls);
    // The constant buffer stays bound; the same shader and blend are not set again.
    spy.calls.clear();
    ps.drawTwoResourcesToResource(target, *first, *second, resources().blendStates[0].createResource());
    const std::vector<std::string> twoSources = {
        "setRenderTarget target",    "setViewport",
        "setShaderResource 0 first", "setShaderResource 1 second",
        "setBlendState 0 blend0",    "setTopology",
        "setVertexBuffer",           "draw 4",
        "setShaderResource 0 null",  "setShaderResource 1 null",
        "setRenderTarget null",
    };
    EXPECT_EQ(twoSources, spy.calls);
    // First pass: t0 + k (t1 unbound reads 0); second: t0 + t1 + k over it.
    const float firstPass = 0.125f + 0.5f, secondPass = 0.125f + 0.25f + 0.5f;
    const auto px = pixelsOf(*target.texture);
    EXPECT_NEAR(secondPass + firstPass * (1 - secondPass), px[0], 2e-3f);
}

TEST_F(PixelShaderTest, EveryPassBindsAndUnbindsItsSlotsInOrder) {
    PixelShader ps;
    ps.compile("one.hlsl", "float4 main(float4 p : SV_Position) : SV_Target { return 1; }", "main");
    auto first = resourceFrom(2, 2, std::vector<float>(16, 0.125f));
    auto second = resourceFrom(2, 2, std::vector<float>(16, 0.25f));
    Media::ResourceBuffer target(2, 2);
    Media::RenderBuffer render(10, d3d().defaultSampleDesc);
    render.createTexture2D(2, 2);
    Media::RenderBuffer renderSource(10, d3d().defaultSampleDesc);
    renderSource.createTexture2D(2, 2);
    Media::ConstantBufferCommon constant;
    constant.create(nullptr, 16);
    const Platform::gpu::BlendState* over = resources().blendStates[0].createResource();
    const float factor[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    Spy spy(context());
    spy.name(constant.buffer.get(), "b");
    spy.name(over, "blend0");
    spy.name(resources().blendStates[3].createResource(), "blend3");
    spy.name(target.getRenderTargetView(), "target");
    render.createRenderTargetView();
    spy.name(render.renderTargetView, "render");
    spy.name(first->getShaderResourceView(), "first");
    spy.name(second->getShaderResourceView(), "second");
    spy.name(renderSource.createShaderResourceView(), "renderSource");
    Buffer* b = constant.buffer.get();
    struct Case {
        const char* pass;
        std::function<void()> run;
        std::vector<std::string> calls;  // bindings, blend and draw, in order
    };
    const std::string s0 = "setShaderResource 0 ", s1 = "setShaderResource 1 ", t = "setRenderTarget ";
    const std::string end0 = "setShaderResource 0 null", end1 = "setShaderResource 1 null",
                      off = "setRenderTarget null";
    const Case cases[] = {
        {"drawToResourceWithConstant",
         [&] { ps.drawToResourceWithConstant(target, b, over); },
         {"setConstantBuffer 0 b", t + "target", "setBlendState 0 blend0", "draw 4", end0, off}},
        {"drawResourceToResourceWithConstant",
         [&] { ps.drawResourceToResourceWithConstant(target, *first, b, over); },
         {"setConstantBuffer 0 b", t + "target", s0 + "first", "setBlendState 0 blend0", "draw 4", end0, off}},
        {"drawResourceToRenderWithConstant",
         [&] { ps.drawResourceToRenderWithConstant(render, *first, b, over); },
         {"setConstantBuffer 0 b", t + "render", s0 + "first", "setBlendState 0 blend0", "draw 4", end0, off}},
        {"drawResourceToRenderWithFactor",
         [&] { ps.drawResourceToRenderWithFactor(render, *first, factor, over); },
         {t + "render", s0 + "first", "setBlendState 1 blend0", "draw 4", end0, off}},
        {"drawResourceToResource",
         [&] { ps.drawResourceToResource(target, *first, over); },
         {t + "target", s0 + "first", "setBlendState 0 blend0", "draw 4", end0, off}},
        {"drawResourceToRender",
         [&] { ps.drawResourceToRender(render, *first); },
         {t + "render", s0 + "first", "setBlendState 0 blend3", "draw 4", end0, off}},
        {"drawTwoResourcesToResource",
         [&] { ps.drawTwoResourcesToResource(target, *first, *second, over); },
         {t + "target", s0 + "first", s1 + "second", "setBlendState 0 blend0", "draw 4", end0, end1, off}},
        {"drawTwoResourcesToRender",
         [&] { ps.drawTwoResourcesToRender(render, *first, *second, over); },
         {t + "render", s0 + "first", s1 + "second", "setBlendState 0 blend0", "draw 4", end0, end1, off}},
        {"drawViewToRender",
         [&] { ps.drawViewToRender(render, second->getShaderResourceView(), over); },
         {t + "render", s0 + "second", "setBlendState 0 blend0", "draw 4", end0, off}},
        {"drawRenderToResource",
         [&] { ps.drawRenderToResource(target, renderSource); },
         {t + "target", s0 + "renderSource", "setBlendState 0 blend3", "draw 4", end0, off}},
    };
    for (const Case& c : cases) {
        d3d().boundBlendState = nullptr;  // so that each pass shows its blend state
        spy.calls.clear();
        c.run();
        std::vector<std::string> got;
        for (const std::string& call : spy.calls)
            if (call.rfind("setConstantBuffer", 0) == 0 || call.rfind("setRenderTarget", 0) == 0 ||
                call.rfind("setShaderResource", 0) == 0 || call.rfind("setBlendState", 0) == 0 ||
                call.rfind("draw", 0) == 0)
                got.push_back(call);
        EXPECT_EQ(c.calls, got) << c.pass;
    }
}

TEST_F(PixelShaderTest, CacheSkipsRepeatsAndAFactorAlwaysResendsTheBlend) {
    PixelShader& copy = resources().pixelShaders[2];
    auto source = resourceFrom(2, 2, std::vector<float>(16, 0.5f));
    Media::RenderBuffer target(10, d3d().defaultSampleDesc);
    target.createTexture2D(2, 2);
    const Platform::gpu::BlendState* over = resources().blendStates[0].createResource();
    const Platform::gpu::BlendState* fade = resources().blendStates[19].createResource();
    copy.drawResourceToRender(target, *source);
    Spy spy(context());
    auto stateCalls = [&] {
        std::vector<std::string> out;
        for (const std::string& c : spy.calls)
            if (c.rfind("setPixelShader", 0) == 0 || c.rfind("setBlendState", 0) == 0 ||
                c.rfind("setVertexShader", 0) == 0 || c.rfind("setRasterizerState", 0) == 0)
                out.push_back(c.substr(0, c.find(' ', c.find(' ') + 1)));
        spy.calls.clear();
        return out;
    };
    copy.drawResourceToRender(target, *source);
    EXPECT_EQ(std::vector<std::string>{}, stateCalls()) << "same shader, same blend";
    const float factor[4] = {0.25f, 0.25f, 0.25f, 0.25f};
    copy.drawResourceToRenderWithFactor(target, *source, factor, fade);
    EXPECT_EQ(std::vector<std::string>{"setBlendState 1"}, stateCalls());
    copy.drawResourceToRenderWithFactor(target, *source, factor, fade);
    EXPECT_EQ(std::vector<std::string>{"setBlendState 1"}, stateCalls()) << "a factor always re-sends";
    copy.drawResourceToResource(*Media::ResourceBuffer::createBlank(2, 2, 10), *source, fade);
    EXPECT_EQ(std::vector<std::string>{"setBlendState 0"}, stateCalls()) << "the earlier factor is dropped";
    copy.drawResourceToResource(*Media::ResourceBuffer::createBlank(2, 2, 10), *source, over);
    EXPECT_EQ(std::vector<std::string>{"setBlendState 0"}, stateCalls());
}

TEST_F(PixelShaderTest, DrawFunctionFollowsTheExactInputSignature) {
    using Draw = void (*)(PixelShader&, const Platform::gpu::BlendState*, const float*);
    struct Case {
        const char* what;
        const char* source;
        Draw draw;  // null: nothing is drawn
    };
    const Case cases[] = {
        {"SV_Position", "float4 main(float4 p : SV_Position) : SV_Target { return float4(0.25, 0.5, 0.75, 1); }",
         &PixelShader::drawQuad},
        {"capitals", "float4 main(float4 p : SV_POSITION) : SV_Target { return float4(0.25, 0.5, 0.75, 1); }", nullptr},
        {"position and uv",
         "float4 main(float4 p : SV_Position, float2 uv : TEXCOORD) : SV_Target { return float4(uv, 0, 1); }",
         &PixelShader::drawQuadUv},
        {"three inputs",
         "float4 main(float4 p : SV_Position, float2 uv : TEXCOORD, float4 c : COLOR) : SV_Target { return c; }",
         nullptr},
        {"uv first",
         "float4 main(float2 uv : TEXCOORD, float4 p : SV_Position) : SV_Target { return float4(uv, 0, 1); }", nullptr},
    };
    for (const Case& c : cases) {
        PixelShader ps;
        ps.compile("signature.hlsl", c.source, "main");
        Draw* chosen = ps.draw.target<Draw>();
        ASSERT_NE(nullptr, chosen) << c.what;
        if (c.draw) {
            EXPECT_EQ(c.draw, *chosen) << c.what;
        }
        Media::ResourceBuffer target(4, 2);
        clearTo(target.getRenderTargetView(), 9, 9, 9, 9);
        ps.drawToResourceWithConstant(target, nullptr, nullptr);
        const auto px = pixelsOf(*target.texture);
        for (uint32_t y = 0; y < 2; ++y)
            for (uint32_t x = 0; x < 4; ++x) {
                const float* t = &px[(y * 4 + x) * 4];
                if (!c.draw) {
                    EXPECT_EQ(9.0f, t[0]) << c.what;
                } else if (c.draw == &PixelShader::drawQuad) {
                    EXPECT_NEAR(0.25f, t[0], 1e-3f) << c.what;
                } else {
                    // The textured quad: v = 0 at the top, at the pixel centres.
                    EXPECT_NEAR((x + 0.5f) / 4, t[0], 2e-3f) << c.what << " " << x << "," << y;
                    EXPECT_NEAR((y + 0.5f) / 2, t[1], 2e-3f) << c.what << " " << x << "," << y;
                }
            }
    }
}

TEST_F(PixelShaderTest, TexturedQuadSamplesTheSourceWithTheCallersSampler) {
    // General shader 11: a filtered sample at the texture coordinate.
    PixelShader& sample = resources().pixelShaders[11];
    EXPECT_EQ(&PixelShader::drawQuadUv,
              *sample.draw.target<void (*)(PixelShader&, const Platform::gpu::BlendState*, const float*)>());
    std::vector<float> texels;
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 4; ++x) texels.insert(texels.end(), {x * 0.25f, y * 0.5f, 0, 1});
    auto source = resourceFrom(4, 2, texels);
    Media::ResourceBuffer target(4, 2);
    context().setSampler(ShaderStage::Pixel, 0, resources().samplerStates[5].createResource());
    sample.drawResourceToResource(target, *source, nullptr);
    context().setSampler(ShaderStage::Pixel, 0, nullptr);
    const auto px = pixelsOf(*target.texture);
    for (size_t i = 0; i < texels.size(); ++i) EXPECT_NEAR(texels[i], px[i], 2e-3f) << i;
}

TEST_F(PixelShaderTest, DefaultPassesDrawWithBlendingOff) {
    auto source =
        resourceFrom(2, 2, std::vector<float>{0, 0.5f, 0, 0.5f, 0, 0.5f, 0, 0.5f, 0, 0.5f, 0, 0.5f, 0, 0.5f, 0, 0.5f});
    PixelShader& copy = resources().pixelShaders[2];
    Media::ResourceBuffer other(2, 2);
    copy.drawResourceToResource(other, *source, resources().blendStates[0].createResource());
    Media::RenderBuffer target(10, d3d().defaultSampleDesc);
    target.createTexture2D(2, 2);
    target.createRenderTargetView();
    clearTo(target.renderTargetView, 1, 0, 0, 1);
    copy.drawResourceToRender(target, *source);
    const auto px = pixelsOf(*target.texture);
    EXPECT_NEAR(0.0f, px[0], 1e-3f);
    EXPECT_NEAR(0.5f, px[1], 1e-3f);
    EXPECT_NEAR(0.5f, px[3], 1e-3f);
}

TEST_F(PixelShaderTest, ReloadingTheBoundShaderDrawsWithTheNewCode) {
    PixelShader ps;
    ps.compile("red.hlsl", "float4 main(float4 p : SV_Position) : SV_Target { return float4(1, 0, 0, 1); }", "main");
    Media::ResourceBuffer target(2, 2);
    ps.drawToResourceWithConstant(target, nullptr, nullptr);
    EXPECT_EQ(&ps, d3d().boundPixelShader);
    ps.compile("green.hlsl", "float4 main(float4 p : SV_Position) : SV_Target { return float4(0, 1, 0, 1); }", "main");
    ps.drawToResourceWithConstant(target, nullptr, nullptr);
    const auto px = pixelsOf(*target.texture);
    EXPECT_NEAR(0.0f, px[0], 1e-3f);
    EXPECT_NEAR(1.0f, px[1], 1e-3f);
}

TEST_F(PixelShaderTest, ReloadingTheBoundVertexShaderKeepsTheQuadDrawn) {
    PixelShader& white = resources().pixelShaders[4];
    Media::ResourceBuffer target(2, 2);
    white.drawToResourceWithConstant(target, nullptr, nullptr);
    Media::VertexShader& quad = resources().pixelShaders.positionQuadShader;
    EXPECT_EQ(&quad, d3d().boundVertexShader);
    const auto* code = ::Shader::BuiltinShaders::code("QuadPosition", ShaderStage::Vertex);
    quad.loadFromMemory(code->data(), code->size());
    clearTo(target.getRenderTargetView(), 0, 0, 0, 0);
    white.drawToResourceWithConstant(target, nullptr, nullptr);
    for (float v : pixelsOf(*target.texture)) EXPECT_NEAR(1.0f, v, 1e-3f);
}

TEST_F(PixelShaderTest, LoadFailureAndCompileErrorsAreReported) {
    LogCapture log;
    PixelShader ps;
    const auto vertexCode = compile("float4 main(float4 p : POSITION) : SV_Position { return p; }", "vs_5_0");
    try {
        ps.loadFromMemory(vertexCode.data(), vertexCode.size());
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_EQ(0u, std::string(e.what()).find("Direct3D.device->CreatePixelShader() failed.")) << e.what();
        EXPECT_NE(std::string::npos, std::string(e.what()).find("Media::PixelShader::loadFromMemory()"));
    }
    EXPECT_EQ(nullptr, ps.shader);
    try {
        ps.compile("broken.hlsl", "float4 main(float4 p : SV_Position) : SV_Target { return p +; }", "main");
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_EQ(0u, std::string(e.what()).find("D3DCompile() failed")) << e.what();
    }
}

}  // namespace
