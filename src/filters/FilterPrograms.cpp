#include "filters/FilterPrograms.h"

#include "core/Exception.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "shaders/BuiltinShaders.h"

namespace Effect::FilterPrograms {

void load(Media::PixelShader& program, const char* name, const char* scope) {
    const std::vector<uint8_t>* code = Shader::BuiltinShaders::code(name, Platform::gpu::ShaderStage::Pixel);
    if (!code) throw System::messageException(scope, "built-in shader missing.");
    program.loadFromMemory(code->data(), code->size());
}

Resource::ResourceService& resources(const char* scope) {
    Resource::ResourceService* service = Resource::ResourceService::get();
    if (!service) throw System::messageException(scope, "resource service not available.");
    return *service;
}

const Platform::gpu::BlendState* blend(size_t entry, const char* scope) {
    return resources(scope).blendStates[entry].createResource();
}

void bindSampler(size_t entry, const char* scope) {
    Platform::gpu::SamplerState* sampler = resources(scope).samplerStates[entry].createResource();
    Media::Direct3DService* d3d = Media::Direct3DService::get();
    if (d3d->boundSampler == sampler) return;
    d3d->context->setSampler(Platform::gpu::ShaderStage::Pixel, 0, sampler);
    d3d->boundSampler = sampler;
}

void clear(Media::ResourceBuffer& image, float r, float g, float b, float a) {
    const float colour[4] = {r, g, b, a};
    Media::Direct3DService::get()->context->clearRenderTargetView(image.getRenderTargetView(), colour);
}

}  // namespace Effect::FilterPrograms
