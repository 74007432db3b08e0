#pragma once
#include <cstdint>

#include "media/gpu/Direct3DService.h"
#include "media/image/ImageBuffer.h"
#include "media/gpu/ShaderResource.h"
#include "media/gpu/ShaderStateResource.h"
#include "platform/os/ThreadSafety.h"

// The copy of a finished frame that the preview and the player show: 8-bit
// premultiplied RGBA, replaced on every hand-over under its mutex.
namespace Media {

class RenderBuffer;

class FrameImage : public Resource::ShaderResource, public Resource::ShaderStateResource, public Direct3DInstance {
public:
    FrameImage() = default;
    FrameImage(const FrameImage&) = delete;
    FrameImage& operator=(const FrameImage&) = delete;

    // A multisampled buffer is resolved first.
    void copyFrom(RenderBuffer& buffer);
    void copyFromView(Platform::gpu::View* view, uint32_t width, uint32_t height);

    Platform::os::Mutex mutex;
    ImageBuffer image GUARDED_BY(mutex){28, 0, 0};
};

}  // namespace Media
