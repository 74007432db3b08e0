#include "effects/ShaderResource.h"

#include "core/Exception.h"
#include "media/gpu/ComputeShader.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/VertexShader.h"

namespace Effect {

ShaderResource::ShaderResource() = default;

ShaderResource::~ShaderResource() = default;

std::shared_ptr<ShaderResource> ShaderResource::create(size_t programCount, uint32_t constantBytes,
                                                       size_t computeCount) {
    auto resource = std::make_shared<ShaderResource>();
    // Each program draws nothing until its code is loaded.
    for (size_t i = 0; i < programCount; ++i) resource->shaders.push_back(std::make_unique<Media::PixelShader>());
    for (size_t i = 0; i < computeCount; ++i)
        resource->computeShaders.push_back(std::make_unique<Media::ComputeShader>());
    if (constantBytes > 0) {
        if (!Media::Direct3DService::get())
            throw System::messageException("Effect::ShaderResource::create", "Direct3D service not available.");
        resource->constant = std::make_unique<Media::ConstantBufferCommon>();
        resource->constant->create(nullptr, constantBytes);
        resource->constantBytes = constantBytes;
    }
    return resource;
}

}  // namespace Effect
