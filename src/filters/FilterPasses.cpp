#include "filters/FilterPasses.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "core/Exception.h"
#include "effect/EffectService.h"
#include "effects/ShaderResource.h"
#include "filters/BlurFilter.h"
#include "filters/BokashiFilter.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "shaders/BuiltinShaders.h"

namespace Effect::FilterPasses {

void loadPixelShader(Media::PixelShader& shader, const char* name, const char* scope) {
    const std::vector<uint8_t>* code = Shader::BuiltinShaders::code(name, Platform::gpu::ShaderStage::Pixel);
    if (!code) throw System::messageException(scope, "built-in shader missing.", name);
    shader.loadFromMemory(code->data(), code->size());
}

void loadShaders(ShaderResource& resource, std::initializer_list<const char*> names, const char* scope) {
    if (names.size() > resource.shaders.size()) throw System::messageException(scope, "built-in shader missing.");
    size_t index = 0;
    for (const char* name : names) loadPixelShader(*resource.shaders[index++], name, scope);
}

Resource::ResourceService& resources() {
    Resource::ResourceService* service = Resource::ResourceService::get();
    if (!service) throw System::messageException("Effect::FilterPasses", "resource service not available.");
    return *service;
}

Platform::gpu::Context& device() {
    Media::Direct3DService* d3d = Media::Direct3DService::get();
    if (!d3d || !d3d->context)
        throw System::messageException("Effect::FilterPasses", "Direct3D service not available.");
    return *d3d->context;
}

Shader::PixelShaderList& sharedShaders() { return resources().pixelShaders; }

Media::PixelShader& shared(SharedShader index) { return sharedShaders()[index]; }

const Platform::gpu::BlendState* blend(size_t index) { return resources().blendStates[index].createResource(); }

Platform::gpu::SamplerState* sampler(size_t index) { return resources().samplerStates[index].createResource(); }

void bindSampler(size_t index) {
    // Binding is a store into the context's state: no need to skip a repeat,
    // but the others that skip one must see what is bound.
    Platform::gpu::SamplerState* state = sampler(index);
    device().setSampler(Platform::gpu::ShaderStage::Pixel, 0, state);
    Media::Direct3DService::get()->boundSampler = state;
}

Platform::gpu::Buffer* uploadShared(const void* record, size_t bytes) {
    Shader::PixelShaderList& list = sharedShaders();
    std::memset(list.constant, 0, sizeof list.constant);
    std::memcpy(list.constant, record, std::min(bytes, sizeof list.constant));
    Platform::gpu::Buffer* buffer = list.constantBuffer.buffer.get();
    device().updateSubresource(*buffer, list.constant);
    return buffer;
}

Platform::gpu::Buffer* upload(ShaderResource& resource, const void* record, size_t bytes) {
    // The whole buffer goes up at once: the record padded with zeros.
    std::array<uint8_t, 256> whole{};
    if (!resource.constant || bytes > resource.constantBytes || resource.constantBytes > whole.size())
        throw System::messageException("Effect::FilterPasses::upload", "constant buffer too small.");
    std::memcpy(whole.data(), record, bytes);
    Platform::gpu::Buffer* buffer = resource.constant->buffer.get();
    device().updateSubresource(*buffer, whole.data());
    return buffer;
}

void upload(Media::ConstantBufferCommon& buffer, const void* record) {
    device().updateSubresource(*buffer.buffer, record);
}

std::shared_ptr<Media::ResourceBuffer> newImage(uint32_t width, uint32_t height) {
    return std::make_shared<Media::ResourceBuffer>(std::max(width, 1u), std::max(height, 1u));
}

std::shared_ptr<Media::ResourceBuffer> ownImage(std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image || image.use_count() == 1) return image;
    return std::shared_ptr<Media::ResourceBuffer>(image->clone());
}

void clear(Media::ResourceBuffer& image) {
    const float transparent[4] = {0, 0, 0, 0};
    device().clearRenderTargetView(image.getRenderTargetView(), transparent);
}

std::shared_ptr<Media::ResourceBuffer> clearedImage(uint32_t width, uint32_t height) {
    auto image = newImage(width, height);
    clear(*image);
    return image;
}

void shiftCopy(Media::ResourceBuffer& target, Media::ResourceBuffer& source, int32_t offsetX, int32_t offsetY,
               const Platform::gpu::BlendState* blendState) {
    const int32_t offset[2] = {offsetX, offsetY};
    Platform::gpu::Buffer* buffer = uploadShared(offset);
    shared(kShiftCopy).drawResourceToResourceWithConstant(target, source, buffer, blendState);
}

void fillColor(Media::ResourceBuffer& target, const float color[4], const Platform::gpu::BlendState* blendState) {
    Platform::gpu::Buffer* buffer = uploadShared(color, 16);
    shared(kFillColor).drawToResourceWithConstant(target, buffer, blendState);
}

std::shared_ptr<Media::ResourceBuffer> extractBright(Media::ResourceBuffer& source, float threshold, float ratio,
                                                     float limit) {
    const float record[3] = {threshold, ratio, limit};
    Platform::gpu::Buffer* buffer = uploadShared(record);
    auto target = newImage(source.width, source.height);
    shared(kExtractBright).drawResourceToResourceWithConstant(*target, source, buffer, nullptr);
    return target;
}

std::shared_ptr<Media::ResourceBuffer> shrink(Media::ResourceBuffer& source, int32_t factor) {
    const uint32_t t = static_cast<uint32_t>(std::max(factor, 1));
    const int32_t record[2] = {static_cast<int32_t>(t), 0};
    Platform::gpu::Buffer* buffer = uploadShared(record);
    auto rows = newImage(source.width, (source.height + t - 1) / t);
    shared(kShrinkVertical).drawResourceToResourceWithConstant(*rows, source, buffer, nullptr);
    auto cells = newImage((source.width + t - 1) / t, rows->height);
    shared(kShrinkHorizontal).drawResourceToResourceWithConstant(*cells, *rows, buffer, nullptr);
    return cells;
}

std::shared_ptr<Media::ResourceBuffer> toLightSpace(Media::ResourceBuffer& source, float base) {
    Platform::gpu::Buffer* buffer = uploadShared(base);
    auto target = newImage(source.width, source.height);
    shared(kToLightSpace).drawResourceToResourceWithConstant(*target, source, buffer, nullptr);
    return target;
}

std::shared_ptr<Media::ResourceBuffer> fromLightSpace(Media::ResourceBuffer& source, float base) {
    Platform::gpu::Buffer* buffer = uploadShared(1.0f / base);
    auto target = newImage(source.width, source.height);
    shared(kFromLightSpace).drawResourceToResourceWithConstant(*target, source, buffer, nullptr);
    return target;
}

namespace {

EffectService& effects() {
    EffectService* service = EffectService::get();
    if (!service) throw System::messageException("Effect::FilterPasses", "effect service not available.");
    return *service;
}

}  // namespace

BokashiFilter& blurPrototype() { return effects().getDefaultEffect<BokashiFilter>(); }

BlurFilter& radialPrototype() { return effects().getDefaultEffect<BlurFilter>(); }

}  // namespace Effect::FilterPasses
