#pragma once
#include "core/ServiceHolder.h"
#include "media/BlendStateList.h"
#include "media/PixelShaderList.h"
#include "media/RasterizerStateList.h"
#include "media/SamplerStateList.h"

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
