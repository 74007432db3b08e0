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

void Semaphore::release(uint32_t n) { semaphore_.release(n); }

}  // namespace Sync
