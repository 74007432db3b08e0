#pragma once
#include <memory>
#include <shared_mutex>

namespace Event {
class EventService;
}

namespace Edit {

class Scene;

// The read scope of a render step: holds the project lock shared, so an
// edit scope waits until the frame or audio block is done.
class ReadSection {
public:
    Event::EventService* eventService;
    std::shared_ptr<Scene> scene;

    ReadSection(std::shared_mutex& lock, std::shared_ptr<Scene> scene, Event::EventService* events);
    ~ReadSection();
    ReadSection(const ReadSection&) = delete;
    ReadSection& operator=(const ReadSection&) = delete;

private:
    std::shared_mutex* lock_;
};

}  // namespace Edit
