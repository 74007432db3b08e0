#pragma once
#include "core/ServiceHolder.h"
#include "media/gpu/BlendStateList.h"
#include "media/gpu/NoiseTexture.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/RasterizerStateList.h"
#include "media/gpu/SamplerStateList.h"
#include "media/gpu/StrokeStyleList.h"

// The holder of the graphics objects many parts share: so far the three
// stroke styles, the device-state tables, the built-in pixel shaders and the
// two noise textures.
namespace Resource {

class ResourceService {
public:
    ResourceService() = default;
    ResourceService(const ResourceService&) = delete;
    ResourceService& operator=(const ResourceService&) = delete;

    static ResourceService* Get() { return System::ServiceSlot<ResourceService>::instance; }

    StrokeStyleList strokeStyles;
    Shader::SamplerStateList samplerStates;
    Shader::BlendStateList blendStates;
    Shader::RasterizerStateList rasterizerStates;
    Shader::PixelShaderList pixelShaders;
    SharedTexture permutationTexture{
        [](std::shared_ptr<Media::ResourceBuffer>& out) { out = NoiseTexture::upload(NoiseTexture::permutation()); }};
    SharedTexture smoothNoiseTexture{
        [](std::shared_ptr<Media::ResourceBuffer>& out) { out = NoiseTexture::upload(NoiseTexture::smoothNoise()); }};
};

}  // namespace Resource
