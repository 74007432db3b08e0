#pragma once
#include <cstdint>

#include "platform/gpu/FormatTable.h"
#include "platform/gpu/View.h"
#include "platform/gpu/VulkanFwd.h"
#include "platform/os/Result.h"
#include "platform/os/ThreadSafety.h"

namespace Platform::gpu {

class Device;

// Bind flags with the numbers the program uses.
inline constexpr uint32_t kBindShaderResource = 0x8;
inline constexpr uint32_t kBindRenderTarget = 0x20;
inline constexpr uint32_t kBindUnorderedAccess = 0x80;

// The largest edge of a texture.
inline constexpr uint32_t kMaxTextureSize = 16384;

struct TextureDesc {
    uint32_t width = 0;
    uint32_t height = 0;
    int32_t format = 10;
    uint32_t sampleCount = 1;
    uint32_t bindFlags = kBindShaderResource;
};

// Initial pixels in the program's layout of the format, rows `rowPitch` bytes apart.
struct InitialData {
    const void* data = nullptr;
    uint32_t rowPitch = 0;
};

// What the device last did with an image: its layout and the stages and
// accesses a following use must wait for. Kept by the immediate context.
struct ImageTrack {
    uint32_t layout = 0;  // VkImageLayout
    uint64_t stages = 0;  // VkPipelineStageFlags2
    uint64_t access = 0;  // VkAccessFlags2
    bool write = false;
};

// A two-dimensional texture with one mip level.
class Texture {
public:
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    const TextureDesc& desc() const { return desc_; }
    uint32_t width() const { return desc_.width; }
    uint32_t height() const { return desc_.height; }
    int32_t format() const { return desc_.format; }
    uint32_t sampleCount() const { return desc_.sampleCount; }
    const FormatInfo& formatInfo() const { return *info_; }

    // The view of one role, made on first request. Fails with kInvalidArg when the
    // bind flags do not allow the role (and for sampling a multisampled texture).
    Result view(ViewKind kind, View*& out);

    // Inside the layer.
    VkImage image() const { return image_; }
    ImageTrack& track() { return track_; }

private:
    friend class Device;
    Texture(Device& device, const TextureDesc& desc, const FormatInfo& info);

    Device& device_;
    TextureDesc desc_;
    const FormatInfo* info_;
    VkImage image_ = nullptr;
    VkDeviceMemory memory_ = nullptr;
    uint64_t uploadTicket_ = 0;
    ImageTrack track_;
    Platform::os::Mutex viewMutex_;
    View views_[3] GUARDED_BY(viewMutex_);
};

}  // namespace Platform::gpu
