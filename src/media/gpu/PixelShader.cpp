#include "media/gpu/PixelShader.h"

#include <cstring>

#include "core/Exception.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/VertexShader.h"

namespace Media {
namespace {

using Platform::gpu::ShaderStage;

void drawNothing(PixelShader&, const Platform::gpu::BlendState*, const float*) {}

bool startsWith(const std::string& name, const char* prefix) {
    return name.compare(0, std::strlen(prefix), prefix) == 0;
}

Resource::ResourceService& resources() {
    Resource::ResourceService* service = Resource::ResourceService::get();
    if (!service) throw System::messageException("Media::PixelShader::draw", "resource service not available.");
    return *service;
}

// Pipeline state through the service's cache, then the quad.
void drawWith(PixelShader& ps, const Platform::gpu::BlendState* blend, const float* factor, VertexShader& vs,
              VertexBufferCommon& quad) {
    Resource::ResourceService& r = resources();
    Direct3DService& d = *ps.Direct3D;
    Platform::gpu::Context& context = *d.context;
    const Platform::gpu::RasterizerState* rasterizer = r.rasterizerStates[0].createResource();
    if (rasterizer != d.boundRasterizerState) {
        context.setRasterizerState(rasterizer);
        d.boundRasterizerState = rasterizer;
    }
    if (!blend) blend = r.blendStates[3].createResource();
    // A factor given to an earlier pass must not stay in force for one without.
    if (blend != d.boundBlendState || factor || d.boundBlendFactor) {
        context.setBlendState(blend, factor);
        d.boundBlendState = blend;
        d.boundBlendFactor = factor != nullptr;
    }
    if (&vs != d.boundVertexShader) {
        context.setVertexShader(vs.shader.get(), vs.layout.get());
        d.boundVertexShader = &vs;
    }
    if (&ps != d.boundPixelShader) {
        context.setPixelShader(ps.shader.get());
        d.boundPixelShader = &ps;
    }
    d.drawVertexBuffer(quad);
}

}  // namespace

PixelShader::PixelShader() : Direct3D(Direct3DService::get()), draw(drawNothing) {}

PixelShader::~PixelShader() {
    draw = nullptr;
    // A later object at this address must not pass for the bound one.
    releaseShader();
}

void PixelShader::releaseShader() {
    // The context must not keep the released shader, and the cache must not
    // skip binding the one loaded next.
    if (Direct3D && Direct3D->boundPixelShader == this) {
        Direct3D->context->setPixelShader(nullptr);
        Direct3D->boundPixelShader = nullptr;
    }
    shader.reset();
}

void PixelShader::loadFromMemory(const void* code, size_t length) {
    releaseShader();
    if (const Platform::Result hr = Direct3D->device->createShader(ShaderStage::Pixel, code, length, shader);
        Platform::failed(hr))
        throw System::hresultException("Direct3D.device->CreatePixelShader", "Media::PixelShader::loadFromMemory", hr);
    selectDrawFunction(code, length);
}

void PixelShader::compile(const char* sourceName, const char* source, const char* entryPoint) {
    const std::vector<uint8_t> code = compileFromMemory(sourceName, source, entryPoint, "ps_5_0");
    loadFromMemory(code.data(), code.size());
}

void PixelShader::selectDrawFunction(const void* code, size_t length) {
    const auto reflection = getShaderReflection(code, length);
    const auto& in = reflection->inputs;
    auto isFloat = [](const Platform::gpu::SignatureParameter& p) {
        return p.componentType == Platform::gpu::kComponentFloat32;
    };
    const bool position = !in.empty() && startsWith(in[0].semanticName, "SV_Position") && isFloat(in[0]);
    if (in.size() == 1 && position)
        draw = drawQuad;
    else if (in.size() == 2 && position && startsWith(in[1].semanticName, "TEXCOORD") && isFloat(in[1]))
        draw = drawQuadUv;
}

void PixelShader::drawQuad(PixelShader& ps, const Platform::gpu::BlendState* blend, const float* factor) {
    Shader::PixelShaderList& list = resources().pixelShaders;
    drawWith(ps, blend, factor, list.positionQuadShader, list.positionQuad);
}

void PixelShader::drawQuadUv(PixelShader& ps, const Platform::gpu::BlendState* blend, const float* factor) {
    Shader::PixelShaderList& list = resources().pixelShaders;
    drawWith(ps, blend, factor, list.textureQuadShader, list.textureQuad);
}

void PixelShader::bindConstant(Buffer* constant) {
    Direct3D->context->setConstantBuffer(ShaderStage::Pixel, 0, constant);
}

void PixelShader::bindSource(uint32_t slot, Platform::gpu::View* view) {
    Direct3D->context->setShaderResource(ShaderStage::Pixel, slot, view);
}

void PixelShader::unbind(bool second) {
    Platform::gpu::Context& context = *Direct3D->context;
    context.setShaderResource(ShaderStage::Pixel, 0, nullptr);
    if (second) context.setShaderResource(ShaderStage::Pixel, 1, nullptr);
    context.setRenderTarget(nullptr);
}

void PixelShader::drawToResourceWithConstant(ResourceBuffer& target, Buffer* constant, const BlendState* blend) {
    bindConstant(constant);
    Direct3D->setResourceTarget(target);
    draw(*this, blend, nullptr);
    unbind(false);
}

void PixelShader::drawResourceToResourceWithConstant(ResourceBuffer& target, ResourceBuffer& source, Buffer* constant,
                                                     const BlendState* blend) {
    bindConstant(constant);
    Direct3D->setResourceTarget(target);
    bindSource(0, source.getShaderResourceView());
    draw(*this, blend, nullptr);
    unbind(false);
}

void PixelShader::drawResourceToRenderWithConstant(RenderBuffer& target, ResourceBuffer& source, Buffer* constant,
                                                   const BlendState* blend) {
    bindConstant(constant);
    Direct3D->setRenderTarget(target);
    bindSource(0, source.getShaderResourceView());
    draw(*this, blend, nullptr);
    unbind(false);
}

void PixelShader::drawResourceToRenderWithFactor(RenderBuffer& target, ResourceBuffer& source, const float factor[4],
                                                 const BlendState* blend) {
    Direct3D->setRenderTarget(target);
    bindSource(0, source.getShaderResourceView());
    draw(*this, blend, factor);
    unbind(false);
}

void PixelShader::drawResourceToResource(ResourceBuffer& target, ResourceBuffer& source, const BlendState* blend) {
    Direct3D->setResourceTarget(target);
    bindSource(0, source.getShaderResourceView());
    draw(*this, blend, nullptr);
    unbind(false);
}

void PixelShader::drawResourceToRender(RenderBuffer& target, ResourceBuffer& source) {
    Direct3D->setRenderTarget(target);
    bindSource(0, source.getShaderResourceView());
    draw(*this, nullptr, nullptr);
    unbind(false);
}

void PixelShader::drawTwoResourcesToResource(ResourceBuffer& target, ResourceBuffer& first, ResourceBuffer& second,
                                             const BlendState* blend) {
    Direct3D->setResourceTarget(target);
    bindSource(0, first.getShaderResourceView());
    bindSource(1, second.getShaderResourceView());
    draw(*this, blend, nullptr);
    unbind(true);
}

void PixelShader::drawTwoResourcesToRender(RenderBuffer& target, ResourceBuffer& first, ResourceBuffer& second,
                                           const BlendState* blend) {
    Direct3D->setRenderTarget(target);
    bindSource(0, first.getShaderResourceView());
    bindSource(1, second.getShaderResourceView());
    draw(*this, blend, nullptr);
    unbind(true);
}

void PixelShader::drawViewToRender(RenderBuffer& target, Platform::gpu::View* view, const BlendState* blend) {
    Direct3D->setRenderTarget(target);
    bindSource(0, view);
    draw(*this, blend, nullptr);
    unbind(false);
}

void PixelShader::drawRenderToResource(ResourceBuffer& target, RenderBuffer& source) {
    Direct3D->setResourceTarget(target);
    bindSource(0, source.createShaderResourceView());
    draw(*this, nullptr, nullptr);
    unbind(false);
}

}  // namespace Media
