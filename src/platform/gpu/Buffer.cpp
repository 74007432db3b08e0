#include "platform/gpu/Buffer.h"

namespace Platform::Gpu {

Buffer::Buffer(BufferKind kind, uint32_t size)
    : kind_(kind), size_(size), contents_(new uint8_t[size]()) {}

}  // namespace Platform::Gpu
