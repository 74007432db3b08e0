#pragma once
#include "core/EventService.h"

namespace Event {

// Mix-in base of classes that use the event service: the service's pointer,
// copied from its slot when the object is built (no use count).
class EventInstance {
protected:
    EventInstance() : eventService(EventService::get()) {}
    EventService* eventService;
};

}  // namespace Event
