#include "filters/FilterPass.h"

#include <algorithm>
#include <cstring>

#include "core/Exception.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "shaders/BuiltinShaders.h"

namespace Effect::FilterPass {
namespace {

Resource::ResourceService& resources(const char* scope) {
    Resource::ResourceService* service = Resource::ResourceService::get();
    if (!service) throw System::messageException(scope, "resource service not available.");
    return *service;
}

Platform::gpu::Context& device() {
    Media::Direct3DService* d3d = Media::Direct3DService::get();
    if (!d3d || !d3d->context)
        throw System::messageException("Effect::FilterPass::upload", "Direct3D service not available.");
    return *d3d->context;
}

}  // namespace

void loadPixelShader(Media::PixelShader& shader, const char* name, const char* scope) {
    const std::vector<uint8_t>* code = Shader::BuiltinShaders::code(name, Platform::gpu::ShaderStage::Pixel);
    if (!code) throw System::messageException(scope, "built-in shader missing.", name);
    shader.loadFromMemory(code->data(), code->size());
}

Shader::PixelShaderList& sharedShaders(const char* scope) { return resources(scope).pixelShaders; }

Shader::BlendStateList& blendStates(const char* scope) { return resources(scope).blendStates; }

Shader::SamplerStateList& samplerStates(const char* scope) { return resources(scope).samplerStates; }

Image newImage(uint32_t width, uint32_t height) { return std::make_shared<Media::ResourceBuffer>(width, height); }

Image ownImage(Image image) {
    if (!image || image.use_count() == 1) return image;
    return Image(image->clone());
}

void upload(Media::ConstantBufferCommon& buffer, const void* record) {
    device().updateSubresource(*buffer.buffer, record);
}

Platform::gpu::Buffer* uploadShared(Shader::PixelShaderList& list, const void* record, size_t bytes) {
    std::memset(list.constant, 0, sizeof list.constant);
    std::memcpy(list.constant, record, std::min(bytes, sizeof list.constant));
    upload(list.constantBuffer, list.constant);
    return list.constantBuffer.buffer.get();
}

}  // namespace Effect::FilterPass
