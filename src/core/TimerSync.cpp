#include "core/TimerSync.h"

#include "core/Exception.h"

namespace Sync {

Timer::Timer() {
    if (Platform::failed(timer_.create()))
        throw System::lastErrorException("CreateWaitableTimer", "Sync::Timer::Timer");
}

void Timer::setInterval(uint32_t intervalMs) {
    if (Platform::failed(timer_.set(intervalMs, intervalMs)))
        throw System::lastErrorException("SetWaitableTimer", "Sync::Timer::setInterval");
}

void Timer::clear() {
    if (Platform::failed(timer_.cancel()))
        throw System::lastErrorException("CancelWaitableTimer", "Sync::Timer::clear");
}

}  // namespace Sync
