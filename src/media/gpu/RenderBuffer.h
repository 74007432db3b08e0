#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "media/gpu/Direct3DService.h"

// The render target of a frame, with its views and the five auxiliary buffers
// 3D compositing reaches as u1 to u5 (made on first use), the lights of the
// frame, and its read-back to CPU images.
namespace Media {

class CpuAccessBuffer;
class FrameReadBack;
class ImageBuffer;
class ReadBackPool;
class ResourceBuffer;

class RenderBuffer : public Direct3DInstance {
public:
    // One entry of the light pass's source array.
    struct Light {
        int32_t type = 0;  // 1: directional, pos is its direction
        float pos[3] = {};
        float col[4] = {};
    };
    static_assert(sizeof(Light) == 32);

    // Size 0 x 0 until createTexture2D.
    RenderBuffer(int32_t format, Direct3DService::SampleDesc sample);
    ~RenderBuffer();
    RenderBuffer(const RenderBuffer&) = delete;
    RenderBuffer& operator=(const RenderBuffer&) = delete;

    // Nothing when the size is unchanged; otherwise a new texture without views.
    void createTexture2D(uint32_t width, uint32_t height);
    void createRenderTargetView();
    Platform::gpu::View* createShaderResourceView();
    Platform::gpu::View* createUnorderedAccessView();
    void releaseResource();

    ResourceBuffer* getDepthBuffer();              // u1, R32_FLOAT, 1e10
    ResourceBuffer* getTransparentBuffer();        // u2, this format, (0, 0, 0, 0)
    ResourceBuffer* getTransparentDepthBuffer();   // u3, R32_FLOAT, 1e10
    ResourceBuffer* getNormalBuffer();             // u4, R16G16B16A16_FLOAT, (0, 0, 0, -1)
    ResourceBuffer* getNormalTransparentBuffer();  // u5, R16G16B16A16_FLOAT, (0, 0, 0, -1)

    // The frame as a resource buffer in the working format: resolved, copied,
    // or drawn through the opaque copy.
    std::unique_ptr<ResourceBuffer> createResourceBuffer(bool copy);
    std::shared_ptr<ImageBuffer> readImageBuffer();
    // A buffer of Y, U, V, x texels as a YUY2 image.
    std::shared_ptr<ImageBuffer> readYuy2ImageBuffer();
    // The frame in the format; 8-bit colour with straight or premultiplied alpha.
    std::shared_ptr<ImageBuffer> createImageBuffer(int32_t format, bool straightAlpha);
    // The same frame, its copy submitted and not waited for: the read-back is
    // waited for on any thread while this one records the next frame. Each
    // read-back in flight has staging memory of its own, made once and reused.
    std::shared_ptr<FrameReadBack> submitImageBuffer(int32_t format, bool straightAlpha);
    // The frame as it stands, read back without waiting.
    std::shared_ptr<FrameReadBack> submitReadBack();
    // The frame as the bits of a 24-bit bitmap, packed on the GPU and read back
    // without waiting: bottom-up rows of blue, green, red bytes, each padded to
    // a multiple of 4 bytes, in the bytes an 8-bit read-back packed on the CPU
    // would give. The read-back's rows are the bitmap's rows.
    std::shared_ptr<FrameReadBack> submitBgr24Bits();
    // Staging memory made for read-backs in flight (tests).
    size_t readBackStagingCount() const;

    uint32_t width = 0;
    uint32_t height = 0;
    int32_t format = 0;
    uint32_t sampleCount = 1;
    uint32_t sampleQuality = 0;
    std::unique_ptr<Platform::gpu::Texture> texture;
    Platform::gpu::View* renderTargetView = nullptr;
    Platform::gpu::View* shaderResourceView = nullptr;
    Platform::gpu::View* unorderedAccessView = nullptr;
    std::unique_ptr<ResourceBuffer> depthBuffer;
    std::unique_ptr<ResourceBuffer> transparentBuffer;
    std::unique_ptr<ResourceBuffer> transparentDepthBuffer;
    std::unique_ptr<ResourceBuffer> normalBuffer;
    std::unique_ptr<ResourceBuffer> normalTransparentBuffer;
    std::vector<Light> lights;

private:
    using Clear = void (*)(ResourceBuffer&);
    ResourceBuffer* auxiliary(std::unique_ptr<ResourceBuffer>& slot, int32_t format, Clear clear);
    // The frame drawn into the conversion target in the image format.
    RenderBuffer& converted(int32_t imageFormat, bool straightAlpha);
    // The staging memory of this buffer's read-backs, kept while size and format stay.
    CpuAccessBuffer& staging();

    // Kept between frames, remade when the size or format changes: a frame is
    // read back every time without making a texture or staging memory anew.
    std::unique_ptr<RenderBuffer> converted_;  // the frame in the format asked for last
    std::unique_ptr<RenderBuffer> packed_;     // the frame as 24-bit bitmap rows
    std::unique_ptr<CpuAccessBuffer> staging_;
    std::shared_ptr<ReadBackPool> readBacks_;  // shared with the read-backs still in flight
};

// The buffer's size; the form in which the effect framework reads it.
void renderBufferSize(const RenderBuffer& buffer, int32_t& width, int32_t& height);

}  // namespace Media
