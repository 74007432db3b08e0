#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/os/Result.h"

// Anonymous pipes and whole-block transfers over descriptors.
namespace Platform::os {

// Both ends close on exec; a child gets an end only when it is handed on.
Result createPipe(int& readEnd, int& writeEnd);
void closeDescriptor(int& fd);

// Until count bytes or the end of the stream / a failure; done says how many.
Result readFully(int fd, void* buffer, size_t count, size_t& done);
Result writeFully(int fd, const void* buffer, size_t count, size_t& done);

// Waits up to timeoutMs for data (or the end of the stream) on fd; ready
// says whether it came.
Result waitReadable(int fd, uint32_t timeoutMs, bool& ready);

}  // namespace Platform::os
