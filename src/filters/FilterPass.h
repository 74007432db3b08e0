#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/PixelShader.h"

namespace Media {
class ResourceBuffer;
}
namespace Shader {
class PixelShaderList;
class BlendStateList;
class SamplerStateList;
}  // namespace Shader

// What the full-image passes of the filters share: loading their built-in
// shaders, their target images and their constant records.
namespace Effect::FilterPass {

using Image = std::shared_ptr<Media::ResourceBuffer>;

// Loads the built-in pixel shader of the name; throws (with the scope) when
// the program carries none.
void loadPixelShader(Media::PixelShader& shader, const char* name, const char* scope);
// The resource service's shared shaders and state tables; throw when the
// service is missing.
Shader::PixelShaderList& sharedShaders(const char* scope);
Shader::BlendStateList& blendStates(const char* scope);
Shader::SamplerStateList& samplerStates(const char* scope);
// A new image of the size in the working format; its pixels are undefined
// until a pass writes them all.
Image newImage(uint32_t width, uint32_t height);
// The image to draw over in place: the image itself when the caller handed
// over the only reference, else a copy, so that an image a source keeps from
// frame to frame is never changed under it.
Image ownImage(Image image);
// Sends the record whole into the buffer.
void upload(Media::ConstantBufferCommon& buffer, const void* record);
// Fills the shared 16-byte record with the bytes and sends it; returns the
// buffer to bind.
Platform::gpu::Buffer* uploadShared(Shader::PixelShaderList& list, const void* record, size_t bytes);

// The class-wide resource of a filter: its pixel shaders loaded by name.
template <size_t N>
struct Shaders {
    Shaders(const std::array<const char*, N>& names, const char* scope) {
        for (size_t i = 0; i < N; ++i) loadPixelShader(shaders[i], names[i], scope);
    }
    std::array<Media::PixelShader, N> shaders;
};

// The same with a constant buffer laid out as the record, and the record the
// passes fill before each draw.
template <size_t N, class Constant>
struct ShadersWithConstant : Shaders<N> {
    static_assert(sizeof(Constant) % 16 == 0, "constant records are whole multiples of 16 bytes");
    ShadersWithConstant(const std::array<const char*, N>& names, const char* scope) : Shaders<N>(names, scope) {
        buffer.create(nullptr, sizeof(Constant));
    }
    // Sends the record and returns the buffer to bind.
    Platform::gpu::Buffer* upload() {
        FilterPass::upload(buffer, &constant);
        return buffer.buffer.get();
    }
    Media::ConstantBufferCommon buffer;
    Constant constant{};
};

}  // namespace Effect::FilterPass
