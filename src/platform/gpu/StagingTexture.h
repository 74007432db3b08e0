#pragma once
#include <cstdint>
#include <memory>

#include "platform/gpu/FormatTable.h"
#include "platform/gpu/VulkanFwd.h"

namespace Platform::gpu {

class Device;

// A mapping of a staging texture: rows of the program's layout, `rowPitch` bytes apart.
struct MappedTexture {
    const void* data = nullptr;
    uint32_t rowPitch = 0;
    uint32_t depthPitch = 0;
};

// A texture the CPU reads back: the context copies a texture into it and
// `Context::map` waits for that copy and returns its rows. A read-back may also
// be handed to another thread: `Context::submitReadBack` gives the ticket of
// the submission that writes it, and `Device::mapSubmitted` waits for that
// ticket on any thread. Either way one thread reads one staging texture at a time.
class StagingTexture {
public:
    ~StagingTexture();
    StagingTexture(const StagingTexture&) = delete;
    StagingTexture& operator=(const StagingTexture&) = delete;

    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    int32_t format() const { return info_->format; }
    const FormatInfo& formatInfo() const { return *info_; }
    // The pitch of the rows a mapping returns.
    uint32_t rowPitch() const { return cpuPitch_; }

    // Inside the layer.
    VkBuffer buffer() const { return buffer_; }
    uint32_t gpuRowPitch() const { return gpuPitch_; }
    uint64_t& writeSerial() { return writeSerial_; }

private:
    friend class Device;
    friend class Context;
    StagingTexture(Device& device, uint32_t width, uint32_t height, const FormatInfo& info);
    // The rows as the program reads them, once the GPU's copy is complete.
    void read(MappedTexture& out);

    Device& device_;
    uint32_t width_;
    uint32_t height_;
    const FormatInfo* info_;
    VkBuffer buffer_ = nullptr;
    VkDeviceMemory memory_ = nullptr;
    uint8_t* mapped_ = nullptr;
    bool coherent_ = true;
    uint32_t gpuPitch_ = 0;
    uint32_t cpuPitch_ = 0;
    std::unique_ptr<uint8_t[]> converted_;  // program layout of emulated formats
    uint64_t writeSerial_ = 0;
};

}  // namespace Platform::gpu
