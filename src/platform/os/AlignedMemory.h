#pragma once
#include <cstddef>

// Memory aligned for vector instructions.
namespace Platform::os {

// Null when the memory cannot be had; alignment is a power of two.
void* alignedAllocate(size_t size, size_t alignment);
void alignedFree(void* memory);

// Makes the C heap one arena for every thread, before the program starts its
// threads. With an arena per thread, the frames and decoder buffers that one
// thread allocates and another frees leave holes that keep the process growing
// for the first minute of an export; with one, it stays at its first size.
void useOneHeapArena();

}  // namespace Platform::os
