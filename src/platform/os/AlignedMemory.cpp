#include "platform/os/AlignedMemory.h"

#include <cstdlib>

namespace Platform::os {

void* alignedAllocate(size_t size, size_t alignment) {
    if (alignment < sizeof(void*)) alignment = sizeof(void*);
    void* memory = nullptr;
    // A zero request still gets its own aligned block, as callers expect a pointer.
    if (::posix_memalign(&memory, alignment, size == 0 ? alignment : size) != 0) return nullptr;
    return memory;
}

void alignedFree(void* memory) { std::free(memory); }

}  // namespace Platform::os
