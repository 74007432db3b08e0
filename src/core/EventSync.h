#pragma once
#include "platform/os/Event.h"

namespace Sync {

// A manual-reset event, created non-signalled: the wake-up of the worker
// threads and the marker of their wait for all tasks.
class Event {
public:
    Event();  // throws "CreateEvent" when the event cannot be made
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    // Without time limit; a failed wait throws "WaitForSingleObject".
    void wait();
    Platform::os::WaitHandle handle() const { return event_.handle(); }

private:
    Platform::os::Event event_;
};

}  // namespace Sync
