#pragma once
#include <cstdint>
#include <memory>

#include "platform/gpu/Gpu.h"

// The staging texture through which GPU images are read back.
namespace Media {

class CpuAccessBuffer {
public:
    CpuAccessBuffer(uint32_t width, uint32_t height, int32_t format);

    // A mapping for reading, unmapped when it ends. A mapping that fails is
    // reported by an exception in the given scope, never read.
    class Map {
    public:
        Map(CpuAccessBuffer& buffer, const char* scope);
        ~Map();
        Map(const Map&) = delete;
        Map& operator=(const Map&) = delete;
        const uint8_t* data() const { return static_cast<const uint8_t*>(mapped_.data); }
        uint32_t rowPitch() const { return mapped_.rowPitch; }
        uint32_t depthPitch() const { return mapped_.depthPitch; }

    private:
        CpuAccessBuffer& buffer_;
        Platform::gpu::MappedTexture mapped_;
    };

    std::unique_ptr<Platform::gpu::StagingTexture> texture;
};

}  // namespace Media
