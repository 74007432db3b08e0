#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "MediaFixture.h"
#include "media/gpu/ComputeShader.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/ShaderCompile.h"
#include "support/LogCapture.h"

namespace {

using ShaderCompileTest = MediaTest;

TEST_F(ShaderCompileTest, ErrorsAndWarningsGiveTheCompilersNote) {
    struct Case {
        const char* what;
        const char* source;
        const char* needle;
    };
    const Case cases[] = {
        {"syntax error", "float4 main(float4 p : SV_Position) : SV_Target { return p +; }", "scripts/blur.lua"},
        {"warning", "#pragma once\nfloat4 main(float4 p : SV_Position) : SV_Target { return p; }", "WARNING"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        try {
            Media::ShaderCompile::compileFromMemory("scripts/blur.lua", c.source, "main", "ps_5_0");
            ADD_FAILURE() << c.what;
        } catch (const std::exception& e) {
            const std::string text = e.what();
            EXPECT_EQ(0u, text.find("D3DCompile() failed\n\n[Note]\n")) << c.what << ": " << text;
            EXPECT_NE(std::string::npos, text.find(c.needle)) << c.what << ": " << text;
            EXPECT_NE(std::string::npos, text.find("[Place]\nMedia::ShaderCompile::compileFromMemory()")) << text;
        }
    }
}

TEST_F(ShaderCompileTest, ReflectionGivesTheExactInputSignature) {
    const auto code = Media::ShaderCompile::compileFromMemory(
        "a.hlsl", "float4 main(float4 p : SV_Position, float2 uv : TEXCOORD) : SV_Target { return p + uv.x; }", "main",
        "ps_5_0");
    auto reflection = Media::ShaderCompile::getShaderReflection(code.data(), code.size());
    ASSERT_EQ(2u, reflection->inputs.size());
    EXPECT_EQ("SV_Position", reflection->inputs[0].semanticName);
    EXPECT_EQ("TEXCOORD", reflection->inputs[1].semanticName);
    const uint8_t junk[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    LogCapture log;
    try {
        Media::ShaderCompile::getShaderReflection(junk, sizeof junk);
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_EQ(0u, std::string(e.what()).find("D3DReflect() failed.")) << e.what();
    }
}

TEST_F(ShaderCompileTest, ComputeShaderDispatchesAndIsSetOnce) {
    Media::ComputeShader shader;
    shader.compile("fill.hlsl",
                   "cbuffer Constant : register(b0) { float4 value; };\n"
                   "RWTexture2D<float4> target : register(u0);\n"
                   "[numthreads(1, 1, 1)] void main(uint3 id : SV_DispatchThreadID) {\n"
                   "  target[id.xy] = value + float4(id.x, id.y, 0, 0); }\n",
                   "main");
    Media::ConstantBufferCommon constant;
    const float first[4] = {1, 1, 1, 1};
    constant.create(first, 16);
    const float value[4] = {0.25f, 0.5f, 0.75f, 1};
    constant.create(value, 16);  // the first buffer is released
    EXPECT_NE(nullptr, constant.buffer.get());

    auto target = makeTexture(4, 2, 10, Platform::gpu::kBindShaderResource | Platform::gpu::kBindUnorderedAccess);
    Platform::gpu::View* uav = nullptr;
    ASSERT_EQ(Platform::kOk, target->view(Platform::gpu::ViewKind::UnorderedAccess, uav));
    context().setConstantBuffer(Platform::gpu::ShaderStage::Compute, 0, constant.buffer.get());
    context().setUnorderedAccessView(Platform::gpu::ShaderStage::Compute, 0, uav);
    shader.dispatch(4, 2, 1);
    EXPECT_EQ(&shader, d3d().boundComputeShader);
    shader.dispatch(4, 2, 1);
    context().setUnorderedAccessView(Platform::gpu::ShaderStage::Compute, 0, nullptr);
    context().setConstantBuffer(Platform::gpu::ShaderStage::Compute, 0, nullptr);
    const auto px = readBack(*target);
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 4; ++x) {
            float t[4];
            texelHalf4(px, 4, x, y, t);
            EXPECT_NEAR(0.25f + x, t[0], 1e-3);
            EXPECT_NEAR(0.5f + y, t[1], 1e-3);
            EXPECT_NEAR(0.75f, t[2], 1e-3);
        }
}

TEST_F(ShaderCompileTest, RepeatedDispatchSetsTheComputeShaderOnce) {
    struct Count : Platform::gpu::ContextTrace {
        void call(const char* name, uint32_t, const void*) override { sets += std::string(name) == "setComputeShader"; }
        int sets = 0;
    } count;
    Media::ComputeShader first, second;
    const char* source = "[numthreads(1, 1, 1)] void main(uint3 id : SV_DispatchThreadID) {}\n";
    first.compile("a.hlsl", source, "main");
    second.compile("b.hlsl", source, "main");
    context().setTrace(&count);
    first.dispatch(1, 1, 1);
    first.dispatch(1, 1, 1);
    EXPECT_EQ(1, count.sets);
    second.dispatch(1, 1, 1);
    first.dispatch(1, 1, 1);
    EXPECT_EQ(3, count.sets);
    context().setTrace(nullptr);
}

TEST_F(ShaderCompileTest, ReloadingTheBoundComputeShaderDispatchesTheNewCode) {
    auto source = [](int value) {
        return "RWTexture2D<float4> target : register(u0);\n"
               "[numthreads(1, 1, 1)] void main(uint3 id : SV_DispatchThreadID) { target[id.xy] = " +
               std::to_string(value) + "; }\n";
    };
    Media::ComputeShader shader;
    shader.compile("one.hlsl", source(1).c_str(), "main");
    auto target = makeTexture(1, 1, 10, Platform::gpu::kBindShaderResource | Platform::gpu::kBindUnorderedAccess);
    Platform::gpu::View* uav = nullptr;
    ASSERT_EQ(Platform::kOk, target->view(Platform::gpu::ViewKind::UnorderedAccess, uav));
    context().setUnorderedAccessView(Platform::gpu::ShaderStage::Compute, 0, uav);
    shader.dispatch(1, 1, 1);
    shader.compile("two.hlsl", source(2).c_str(), "main");
    shader.dispatch(1, 1, 1);
    context().setUnorderedAccessView(Platform::gpu::ShaderStage::Compute, 0, nullptr);
    float t[4];
    texelHalf4(readBack(*target), 1, 0, 0, t);
    EXPECT_NEAR(2.0f, t[0], 1e-3f);
}

TEST_F(ShaderCompileTest, FailedCreationsThrowTheirCallTexts) {
    LogCapture log;
    const auto pixelCode = compile("float4 main(float4 p : SV_Position) : SV_Target { return p; }", "ps_5_0");
    Media::ComputeShader shader;
    try {
        shader.loadFromMemory(pixelCode.data(), pixelCode.size());
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_EQ(0u, std::string(e.what()).find("Direct3D.device->CreateComputeShader() failed.")) << e.what();
        EXPECT_NE(std::string::npos, std::string(e.what()).find("Media::ComputeShader::loadFromMemory()"));
    }
    EXPECT_EQ(nullptr, shader.shader());
    Media::ConstantBufferCommon constant;
    try {
        constant.create(nullptr, 12);
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_EQ(0u, std::string(e.what()).find("Direct3DService::get().device->CreateBuffer() failed.")) << e.what();
    }
    EXPECT_EQ(nullptr, constant.buffer.get());
}

}  // namespace
