#pragma once
#include <cstdint>

#include "platform/os/Semaphore.h"

namespace Sync {

// The bound of a worker's queue: no handle until the owner sets one.
class Semaphore {
public:
    Semaphore() = default;
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    // Creates it with n counts free and at most n; does nothing when it exists.
    void setMax(uint32_t n);
    bool isSet() const { return semaphore_.valid(); }
    // Waits without time limit for a free count and takes it.
    void acquire();
    void release(uint32_t n);

private:
    Platform::os::Semaphore semaphore_;
};

}  // namespace Sync
