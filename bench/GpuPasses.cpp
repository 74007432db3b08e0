// Full-target shader passes at 1920x1080 through the GPU layer: a copy and a
// 9-tap blur, each drawn and waited for.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/gpu/Gpu.h"
#include "platform/gpu/HlslCompiler.h"
#include "shaders/BuiltinShaders.h"

using namespace Platform::gpu;

namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;

struct Setup {
    std::unique_ptr<Device> device;
    std::unique_ptr<Platform::gpu::Shader> vs, copy, blur;
    std::unique_ptr<InputLayout> layout;
    std::unique_ptr<Buffer> quad;
    std::unique_ptr<RasterizerState> cullNone;
    std::unique_ptr<Texture> source, target;

    Setup() {
        if (Device::create({}, device) != Platform::kOk) std::abort();
        const auto* vsCode = ::Shader::BuiltinShaders::code("QuadPosition", ShaderStage::Vertex);
        const auto* copyCode = ::Shader::BuiltinShaders::code("Copy", ShaderStage::Pixel);
        (void)device->createShader(ShaderStage::Vertex, vsCode->data(), vsCode->size(), vs);
        (void)device->createShader(ShaderStage::Pixel, copyCode->data(), copyCode->size(), copy);
        const std::string blurSource =
            "Texture2D<float4> src : register(t0);\n"
            "float4 main(float4 p : SV_Position) : SV_Target {\n"
            "  int3 at = int3(p.xy, 0); float4 sum = 0;\n"
            "  [unroll] for (int i = -4; i <= 4; ++i) sum += src.Load(at + int3(i, 0, 0));\n"
            "  return sum / 9; }\n";
        std::vector<uint8_t> code;
        std::string errors;
        if (HlslCompiler::compile("blur.hlsl", blurSource.data(), blurSource.size(), "main", "ps_5_0", code, errors) !=
            Platform::kOk)
            std::abort();
        (void)device->createShader(ShaderStage::Pixel, code.data(), code.size(), blur);
        InputElement e{"POSITION", 0, kElementR32G32B32Float, kAppendAligned};
        (void)device->createInputLayout(&e, 1, vsCode->data(), vsCode->size(), layout);
        const float v[12] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, 1, 1, 0};
        (void)device->createBuffer(BufferKind::Vertex, sizeof v, v, quad);
        (void)device->createRasterizerState({kFillSolid, kCullNone, 0}, cullNone);
        const uint32_t bind = kBindShaderResource | kBindRenderTarget;
        (void)device->createTexture({kWidth, kHeight, 10, 1, bind}, nullptr, source);
        (void)device->createTexture({kWidth, kHeight, 10, 1, bind}, nullptr, target);
        View* rtv = nullptr;
        (void)source->view(ViewKind::RenderTarget, rtv);
        const float c[4] = {0.25f, 0.5f, 0.75f, 1};
        device->context().clearRenderTargetView(rtv, c);
    }

    void pass(Platform::gpu::Shader* ps) {
        Context& ctx = device->context();
        View* rtv = nullptr;
        View* srv = nullptr;
        (void)target->view(ViewKind::RenderTarget, rtv);
        (void)source->view(ViewKind::ShaderResource, srv);
        ctx.setVertexShader(vs.get(), layout.get());
        ctx.setVertexBuffer(quad.get(), 12, 0);
        ctx.setTopology(Topology::TriangleStrip);
        ctx.setRasterizerState(cullNone.get());
        ctx.setBlendState(nullptr, nullptr);
        ctx.setPixelShader(ps);
        ctx.setRenderTarget(rtv);
        ctx.setViewport({0, 0, float(kWidth), float(kHeight), 0, 1});
        ctx.setShaderResource(ShaderStage::Pixel, 0, srv);
        ctx.draw(4, 0);
        ctx.setShaderResource(ShaderStage::Pixel, 0, nullptr);
        ctx.setRenderTarget(nullptr);
        (void)ctx.finish();
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

void FullTargetCopyPass(benchmark::State& state) {
    setup().pass(setup().copy.get());  // pipeline made outside the timing
    for (auto _ : state) setup().pass(setup().copy.get());
}
BENCHMARK(FullTargetCopyPass)->Unit(benchmark::kMillisecond);

void Blur9TapPass(benchmark::State& state) {
    setup().pass(setup().blur.get());
    for (auto _ : state) setup().pass(setup().blur.get());
}
BENCHMARK(Blur9TapPass)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
