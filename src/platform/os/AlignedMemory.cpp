#include "platform/os/AlignedMemory.h"

#include <cstdlib>

#include <malloc.h>
#include <sys/mman.h>

namespace Platform::os {
namespace {

// Blocks of this size and more (frames, read-back images) are placed on huge
// page boundaries and offered to the kernel for huge pages: a 1080p frame is
// then a handful of page faults instead of two thousand when first touched.
constexpr size_t kHugePage = size_t{2} << 20;

}  // namespace

void* alignedAllocate(size_t size, size_t alignment) {
    if (alignment < sizeof(void*)) alignment = sizeof(void*);
    const bool huge = size >= kHugePage && alignment <= kHugePage;
    if (huge) alignment = kHugePage;
    void* memory = nullptr;
    // A zero request still gets its own aligned block, as callers expect a pointer.
    if (::posix_memalign(&memory, alignment, size == 0 ? alignment : size) != 0) return nullptr;
    // Only advice: where the kernel has no huge pages the block works as it is.
    if (huge) (void)::madvise(memory, size, MADV_HUGEPAGE);
    return memory;
}

void alignedFree(void* memory) { std::free(memory); }

void useOneHeapArena() { (void)::mallopt(M_ARENA_MAX, 1); }

}  // namespace Platform::os
