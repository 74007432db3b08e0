#pragma once
#include <cstdint>
#include <memory>

#include "media/gpu/Direct3DService.h"
#include "media/gpu/ShaderResource.h"
#include "media/gpu/ShaderStateResource.h"

// The GPU image effects pass to one another: a texture with shader-resource,
// render-target and unordered-access views made on first use. Edges are at
// most 16384. Buffers in the working or mask format (or R32_FLOAT) can be
// drawn into; others are only read.
namespace Media {

class ImageBuffer;

class ResourceBuffer : public Resource::ShaderResource, public Resource::ShaderStateResource, public Direct3DInstance {
public:
    static constexpr uint32_t kMaxSize = 16384;

    // In the working pixel format; a texture when either edge is non-zero.
    ResourceBuffer(uint32_t width, uint32_t height);
    ~ResourceBuffer();
    ResourceBuffer(const ResourceBuffer&) = delete;
    ResourceBuffer& operator=(const ResourceBuffer&) = delete;

    static std::unique_ptr<ResourceBuffer> createBlank(uint32_t width, uint32_t height, int32_t format);
    // Null for a null image; the image converted to the working format.
    static std::unique_ptr<ResourceBuffer> createFromImageBuffer(const std::shared_ptr<ImageBuffer>& image);

    // The image's size and format (YUY2 held as G8R8_G8B8) with its pixels. A
    // buffer that already has that shape keeps its texture and takes the new
    // pixels through the immediate context (so from the rendering thread only).
    void setImage(const ImageBuffer& image);
    void createTexture2D(const Platform::gpu::InitialData* initial = nullptr);
    void createShaderResourceView();
    void createRenderTargetView();
    void createUnorderedAccessView();
    // The view, made when missing.
    Platform::gpu::View* getShaderResourceView();
    Platform::gpu::View* getRenderTargetView();
    Platform::gpu::View* getUnorderedAccessView();
    void releaseResource();
    // The texture as the 2-D drawing layer's surface (RenderTargetDirect3D);
    // throws for a buffer without a texture.
    Platform::gpu::Texture& getSurface();

    void clearUnorderedAccessView(float value);
    // The w x h box at (x, y) of the source to this buffer's origin.
    void copyRegion(ResourceBuffer& source, uint32_t x, uint32_t y, uint32_t w, uint32_t h);
    // A copy of the same size in the working format.
    std::unique_ptr<ResourceBuffer> clone();
    // A transparent width x height buffer with this one copied in at (x, y).
    std::unique_ptr<ResourceBuffer> createExpanded(uint32_t width, uint32_t height, int32_t x, int32_t y);

    uint32_t width = 0;
    uint32_t height = 0;
    int32_t format = 0;
    std::unique_ptr<Platform::gpu::Texture> texture;
    Platform::gpu::View* renderTargetView = nullptr;
    Platform::gpu::View* shaderResourceView = nullptr;
    Platform::gpu::View* unorderedAccessView = nullptr;
    // Names the contents for as long as they stay as they are: a source that
    // keeps one image unchanged across frames stamps it (newStamp), and a
    // filter may keep its result for that stamp. 0: not known to stay.
    uint64_t contentStamp = 0;
    static uint64_t newStamp();

private:
    ResourceBuffer(uint32_t width, uint32_t height, int32_t format);
    Platform::gpu::View* makeView(Platform::gpu::ViewKind kind, const char* call, const char* scope);
};

}  // namespace Media
