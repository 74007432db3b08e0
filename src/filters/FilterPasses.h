#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/PixelShader.h"

namespace Media {
class ResourceBuffer;
}
namespace Platform::gpu {
class BlendState;
class Buffer;
class Context;
class SamplerState;
}  // namespace Platform::gpu
namespace Resource {
class ResourceService;
}
namespace Shader {
class PixelShaderList;
}

namespace Effect {

class BokashiFilter;
class BlurFilter;
class ShaderResource;

// What the filters' passes share: the built-in shader programs of a class
// resource, the resource service's tables and shared constant record, new
// images, and the prototypes whose blurs other filters borrow. Everything
// here runs on the per-object video worker.
namespace FilterPasses {

// The resource service's shared shaders by index, as the filters use them.
enum SharedShader : size_t {
    kCopy = 2,
    kFillColor = 3,
    kShiftCopy = 5,
    kShiftCopyClamp = 6,
    kShrinkHorizontal = 17,
    kShrinkVertical = 18,
    kExtractBright = 20,
    kToLightSpace = 21,
    kFromLightSpace = 22,
};

// Loads the built-in pixel shader of the name; throws (with the scope) when
// the program carries none.
void loadPixelShader(Media::PixelShader& shader, const char* name, const char* scope);
// Loads the built-in programs of the names, in order, into the class
// resource's pixel shaders; throws when one is missing.
void loadShaders(ShaderResource& resource, std::initializer_list<const char*> names, const char* scope);

// The services; each throws when it is missing.
Resource::ResourceService& resources();
Platform::gpu::Context& device();
Shader::PixelShaderList& sharedShaders();
Media::PixelShader& shared(SharedShader index);
// Null: blending off.
const Platform::gpu::BlendState* blend(size_t index);
Platform::gpu::SamplerState* sampler(size_t index);
// Binds the sampler to slot 0 of the pixel stage and records it as the
// bound one.
void bindSampler(size_t index);

// Writes up to 16 bytes into the shared constant record (the rest zero) and
// uploads it; returns the buffer to bind.
Platform::gpu::Buffer* uploadShared(const void* record, size_t bytes);
template <class Record>
Platform::gpu::Buffer* uploadShared(const Record& record) {
    static_assert(sizeof(Record) <= 16);
    return uploadShared(&record, sizeof record);
}
// Uploads the whole record into the class resource's constant buffer; returns it.
Platform::gpu::Buffer* upload(ShaderResource& resource, const void* record, size_t bytes);
template <class Record>
Platform::gpu::Buffer* upload(ShaderResource& resource, const Record& record) {
    return upload(resource, &record, sizeof record);
}
// Sends the record whole into the buffer, which is laid out as the record.
void upload(Media::ConstantBufferCommon& buffer, const void* record);

// A new image of the size (each side clamped to the largest); its contents
// are undefined until a pass writes every pixel.
std::shared_ptr<Media::ResourceBuffer> newImage(uint32_t width, uint32_t height);
// A new image of the size cleared to transparent black.
std::shared_ptr<Media::ResourceBuffer> clearedImage(uint32_t width, uint32_t height);
// The image to draw over in place: the image itself when the caller handed
// over the only reference, else a copy, so that an image a source keeps from
// frame to frame is never changed under it.
std::shared_ptr<Media::ResourceBuffer> ownImage(std::shared_ptr<Media::ResourceBuffer> image);
// The whole image to transparent black.
void clear(Media::ResourceBuffer& image);

// shiftCopy: target pixel p takes source pixel p + offset (outside 0).
void shiftCopy(Media::ResourceBuffer& target, Media::ResourceBuffer& source, int32_t offsetX, int32_t offsetY,
               const Platform::gpu::BlendState* blendState);
// fillColor over the target with the blend state.
void fillColor(Media::ResourceBuffer& target, const float color[4], const Platform::gpu::BlendState* blendState);
// extractBright: what lies above the threshold in luma, scaled and limited.
std::shared_ptr<Media::ResourceBuffer> extractBright(Media::ResourceBuffer& source, float threshold, float ratio,
                                                     float limit);
// The image reduced by the factor on both axes: each output pixel the mean
// of factor source pixels along each axis from output position x factor,
// positions clamped to the last row or column.
std::shared_ptr<Media::ResourceBuffer> shrink(Media::ResourceBuffer& source, int32_t factor);
// The light-space round trip of the blurs that weigh bright parts more.
std::shared_ptr<Media::ResourceBuffer> toLightSpace(Media::ResourceBuffer& source, float base);
std::shared_ptr<Media::ResourceBuffer> fromLightSpace(Media::ResourceBuffer& source, float base);

// The registered prototypes whose routines other filters call.
BokashiFilter& blurPrototype();
BlurFilter& radialPrototype();

// The class-wide resource of a filter whose passes draw with a fixed set of
// programs: its pixel shaders loaded by name.
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
        FilterPasses::upload(buffer, &constant);
        return buffer.buffer.get();
    }
    Media::ConstantBufferCommon buffer;
    Constant constant{};
};

}  // namespace FilterPasses

}  // namespace Effect
