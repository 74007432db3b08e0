#include "platform/gpu/Buffer.h"

namespace Platform::gpu {

Buffer::Buffer(BufferKind kind, uint32_t size) : kind_(kind), size_(size), contents_(new uint8_t[size]()) {}

}  // namespace Platform::gpu
