#include "core/SemaphoreSync.h"

#include "core/Exception.h"

namespace Sync {

void Semaphore::setMax(uint32_t n) {
    if (semaphore_.valid()) return;
    if (Platform::failed(semaphore_.create(n, n)))
        throw System::lastErrorException("CreateSemaphore", "Sync::Semaphore::setMax");
}

void Semaphore::acquire() {
    if (semaphore_.wait(Platform::os::kInfinite) != Platform::os::kWaitObject0)
        throw System::lastErrorException("WaitForSingleObject", "Sync::Semaphore::acquire");
}

// A release past the maximum is refused and changes nothing.
void Semaphore::release(uint32_t n) { (void)semaphore_.release(n); }

}  // namespace Sync
