#pragma once
#include <cstddef>
#include <cstdint>

namespace Media {
class PixelShader;
class ResourceBuffer;
}  // namespace Media
namespace Platform::gpu {
class BlendState;
}
namespace Resource {
class ResourceService;
}

// What the filters that draw with programs of their own share: loading a
// built-in program, the resource service's device states, and clearing.
namespace Effect::FilterPrograms {

// The built-in pixel shader of the name into the program; throws from the
// scope when the build lacks it.
void load(Media::PixelShader& program, const char* name, const char* scope);
// The resource service; throws from the scope when there is none.
Resource::ResourceService& resources(const char* scope);
// The blend state of the resource service's table.
const Platform::gpu::BlendState* blend(std::size_t entry, const char* scope);
// Binds the sampler of the table to pixel-shader slot 0 unless it is bound.
void bindSampler(std::size_t entry, const char* scope);
// The whole image to (r, g, b, a).
void clear(Media::ResourceBuffer& image, float r, float g, float b, float a);

}  // namespace Effect::FilterPrograms
