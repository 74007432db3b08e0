#pragma once
#include "media/gpu/ResourceService.h"

// Mix-in: the resource service's sampler, blend and rasterizer tables, copied when built.
namespace Resource {

class ShaderStateResource {
public:
    ShaderStateResource() {
        if (ResourceService* service = ResourceService::get()) {
            samplerStateList = &service->samplerStates;
            blendStateList = &service->blendStates;
            rasterizerStateList = &service->rasterizerStates;
        }
    }
    Shader::SamplerStateList* samplerStateList = nullptr;
    Shader::BlendStateList* blendStateList = nullptr;
    Shader::RasterizerStateList* rasterizerStateList = nullptr;
};

}  // namespace Resource
