#pragma once
#include "media/gpu/ComResource.h"
#include "platform/gpu/BlendState.h"
#include "platform/gpu/RasterizerState.h"
#include "platform/gpu/SamplerState.h"

// Scope texts of the device-state holders.
namespace Media {

template <>
struct ComResourceName<Platform::gpu::BlendState> {
    static constexpr const char* createResourceScope = "Media::ComResource<struct ID3D11BlendState>::createResource";
};
template <>
struct ComResourceName<Platform::gpu::RasterizerState> {
    static constexpr const char* createResourceScope =
        "Media::ComResource<struct ID3D11RasterizerState>::createResource";
};
template <>
struct ComResourceName<Platform::gpu::SamplerState> {
    static constexpr const char* createResourceScope = "Media::ComResource<struct ID3D11SamplerState>::createResource";
};

}  // namespace Media
