#pragma once
#include "media/gpu/ResourceService.h"

// Mix-in: the resource service's built-in pixel shader list, copied when built.
namespace Resource {

class ShaderResource {
public:
    ShaderResource() : pixelShaderList(ResourceService::get() ? &ResourceService::get()->pixelShaders : nullptr) {}
    Shader::PixelShaderList* pixelShaderList;
};

}  // namespace Resource
