#pragma once
#include <string>

#include "GpuFixture.h"
#include "platform/gpu/HlslCompiler.h"
#include "shaders/BuiltinShaders.h"

// Compiling, drawing full-target quads and reading pixels back.
class ShaderTest : public GpuTest {
protected:
    std::vector<uint8_t> compile(const std::string& source, const char* target, const char* entry = "main",
                                 const char* name = "test.hlsl") {
        std::vector<uint8_t> code;
        std::string errors;
        EXPECT_EQ(Platform::kOk,
                  Platform::gpu::HlslCompiler::compile(name, source.data(), source.size(), entry, target, code, errors))
            << errors;
        return code;
    }

    std::unique_ptr<Platform::gpu::Shader> shader(const std::string& source, const char* target) {
        auto code = compile(source, target);
        Platform::gpu::ShaderStage stage;
        Platform::gpu::HlslCompiler::stageOfTarget(target, stage);
        std::unique_ptr<Platform::gpu::Shader> s;
        EXPECT_EQ(Platform::kOk, device().createShader(stage, code.data(), code.size(), s));
        return s;
    }

    // The position quad: four vertices of three floats covering the target, drawn as a strip.
    void bindPositionQuad() {
        using namespace Platform::gpu;
        if (!quadVs_) {
            const auto* code = ::Shader::BuiltinShaders::code("QuadPosition", ShaderStage::Vertex);
            ASSERT_TRUE(code);
            ASSERT_EQ(Platform::kOk, device().createShader(ShaderStage::Vertex, code->data(), code->size(), quadVs_));
            InputElement e{"POSITION", 0, kElementR32G32B32Float, kAppendAligned};
            ASSERT_EQ(Platform::kOk, device().createInputLayout(&e, 1, code->data(), code->size(), quadLayout_));
            const float v[12] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, 1, 1, 0};
            ASSERT_EQ(Platform::kOk, device().createBuffer(BufferKind::Vertex, sizeof v, v, quadVertices_));
            // The quad's strip winds counter-clockwise on the target: draw passes cull nothing.
            ASSERT_EQ(Platform::kOk, device().createRasterizerState({kFillSolid, kCullNone, 0}, cullNone_));
        }
        context().setRasterizerState(cullNone_.get());
        context().setVertexShader(quadVs_.get(), quadLayout_.get());
        context().setVertexBuffer(quadVertices_.get(), 12, 0);
        context().setTopology(Topology::TriangleStrip);
    }

    void setTarget(Platform::gpu::Texture& t) {
        Platform::gpu::View* rtv = nullptr;
        ASSERT_EQ(Platform::kOk, t.view(Platform::gpu::ViewKind::RenderTarget, rtv));
        context().setRenderTarget(rtv);
        context().setViewport({0, 0, static_cast<float>(t.width()), static_cast<float>(t.height()), 0, 1});
    }

    void clear(Platform::gpu::Texture& t, float r, float g, float b, float a) {
        Platform::gpu::View* rtv = nullptr;
        ASSERT_EQ(Platform::kOk, t.view(Platform::gpu::ViewKind::RenderTarget, rtv));
        const float c[4] = {r, g, b, a};
        context().clearRenderTargetView(rtv, c);
    }

    Platform::gpu::View* srv(Platform::gpu::Texture& t) {
        Platform::gpu::View* v = nullptr;
        EXPECT_EQ(Platform::kOk, t.view(Platform::gpu::ViewKind::ShaderResource, v));
        return v;
    }

    // RGBA16F texture from floats.
    std::unique_ptr<Platform::gpu::Texture> halfTexture(uint32_t w, uint32_t h, const std::vector<float>& rgba,
                                                        uint32_t bind = Platform::gpu::kBindShaderResource |
                                                                        Platform::gpu::kBindRenderTarget) {
        std::vector<uint16_t> halves(rgba.size());
        for (size_t i = 0; i < rgba.size(); ++i) halves[i] = floatToHalf(rgba[i]);
        return makeTexture(w, h, 10, bind, halves.data(), w * 8);
    }

    void TearDown() override {
        EXPECT_EQ(Platform::kOk, context().lastDrawError());
        context().setRenderTarget(nullptr);
        for (uint32_t i = 0; i < 16; ++i) {
            context().setShaderResource(Platform::gpu::ShaderStage::Pixel, i, nullptr);
            context().setShaderResource(Platform::gpu::ShaderStage::Compute, i, nullptr);
        }
        for (uint32_t i = 0; i < 8; ++i) {
            context().setUnorderedAccessView(Platform::gpu::ShaderStage::Pixel, i, nullptr);
            context().setUnorderedAccessView(Platform::gpu::ShaderStage::Compute, i, nullptr);
        }
        for (uint32_t i = 0; i < 14; ++i) {
            context().setConstantBuffer(Platform::gpu::ShaderStage::Pixel, i, nullptr);
            context().setConstantBuffer(Platform::gpu::ShaderStage::Compute, i, nullptr);
        }
        context().setBlendState(nullptr, nullptr);
        context().setRasterizerState(nullptr);
        GpuTest::TearDown();
    }

    std::unique_ptr<Platform::gpu::Shader> quadVs_;
    std::unique_ptr<Platform::gpu::InputLayout> quadLayout_;
    std::unique_ptr<Platform::gpu::Buffer> quadVertices_;
    std::unique_ptr<Platform::gpu::RasterizerState> cullNone_;
};
