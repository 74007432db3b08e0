#pragma once
#include <cstddef>

// Memory aligned for vector instructions.
namespace Platform::os {

// Null when the memory cannot be had; alignment is a power of two.
void* alignedAllocate(size_t size, size_t alignment);
void alignedFree(void* memory);

}  // namespace Platform::os
