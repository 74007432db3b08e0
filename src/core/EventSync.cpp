#include "core/EventSync.h"

#include "core/Exception.h"

namespace Sync {

Event::Event() {
    if (Platform::failed(event_.create(true, false)))
        throw System::lastErrorException("CreateEvent", "Sync::Event::Event");
}

// Setting or resetting a created event does not fail.
void Event::set() { (void)event_.set(); }
void Event::reset() { (void)event_.reset(); }

void Event::wait() {
    if (event_.wait(Platform::os::kInfinite) != Platform::os::kWaitObject0)
        throw System::lastErrorException("WaitForSingleObject", "Sync::Event::wait");
}

}  // namespace Sync
