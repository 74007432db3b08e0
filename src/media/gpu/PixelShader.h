#pragma once
#include <cstddef>
#include <functional>
#include <memory>

#include "media/gpu/ShaderBase.h"
#include "media/gpu/ShaderCompile.h"
#include "platform/gpu/Gpu.h"

// A pixel shader with the function that draws a full-target quad with it, and
// the draw passes built on that function: each binds its constant buffer,
// target and sources, draws once and unbinds what it bound.
namespace Media {

class Direct3DService;
class RenderBuffer;
class ResourceBuffer;

class PixelShader : public ShaderBase, public ShaderCompile {
public:
    // (shader, blend state or null for blending off, factor or null for none)
    using DrawFunction = std::function<void(PixelShader&, const Platform::gpu::BlendState*, const float*)>;

    PixelShader();
    ~PixelShader() override;
    PixelShader(const PixelShader&) = delete;
    PixelShader& operator=(const PixelShader&) = delete;

    void loadFromMemory(const void* code, size_t length);
    void compile(const char* sourceName, const char* source, const char* entryPoint);
    // By the exact input signature: "SV_Position" alone draws the position
    // quad, with "TEXCOORD" the textured quad; anything else leaves it as is.
    void selectDrawFunction(const void* code, size_t length);

    static void drawQuad(PixelShader& shader, const Platform::gpu::BlendState* blend, const float* factor);
    static void drawQuadUv(PixelShader& shader, const Platform::gpu::BlendState* blend, const float* factor);

    using BlendState = Platform::gpu::BlendState;
    using Buffer = Platform::gpu::Buffer;
    void drawToResourceWithConstant(ResourceBuffer& target, Buffer* constant, const BlendState* blend);
    void drawResourceToResourceWithConstant(ResourceBuffer& target, ResourceBuffer& source, Buffer* constant,
                                            const BlendState* blend);
    void drawResourceToRenderWithConstant(RenderBuffer& target, ResourceBuffer& source, Buffer* constant,
                                          const BlendState* blend);
    void drawResourceToRenderWithFactor(RenderBuffer& target, ResourceBuffer& source, const float factor[4],
                                        const BlendState* blend);
    void drawResourceToResource(ResourceBuffer& target, ResourceBuffer& source, const BlendState* blend);
    void drawResourceToRender(RenderBuffer& target, ResourceBuffer& source);
    void drawTwoResourcesToResource(ResourceBuffer& target, ResourceBuffer& first, ResourceBuffer& second,
                                    const BlendState* blend);
    void drawTwoResourcesToRender(RenderBuffer& target, ResourceBuffer& first, ResourceBuffer& second,
                                  const BlendState* blend);
    void drawViewToRender(RenderBuffer& target, Platform::gpu::View* view, const BlendState* blend);
    void drawRenderToResource(ResourceBuffer& target, RenderBuffer& source);

    Direct3DService* Direct3D;
    std::unique_ptr<Platform::gpu::Shader> shader;
    DrawFunction draw;

private:
    void releaseShader();
    void bindConstant(Buffer* constant);
    void bindSource(uint32_t slot, Platform::gpu::View* view);
    void unbind(bool second);
};

}  // namespace Media
