#pragma once
#include "core/ServiceHolder.h"
#include "media/gpu/BlendStateList.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/RasterizerStateList.h"
#include "media/gpu/SamplerStateList.h"

// The holder of the graphics objects many parts share: so far the three
// device-state tables and the built-in pixel shaders.
namespace Resource {

class ResourceService {
public:
    ResourceService() = default;
    ResourceService(const ResourceService&) = delete;
    ResourceService& operator=(const ResourceService&) = delete;

    static ResourceService* get() { return System::ServiceSlot<ResourceService>::instance; }

    Shader::SamplerStateList samplerStates;
    Shader::BlendStateList blendStates;
    Shader::RasterizerStateList rasterizerStates;
    Shader::PixelShaderList pixelShaders;
};

}  // namespace Resource
