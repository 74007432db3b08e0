#include "edit/ReadSection.h"

#include "edit/Scene.h"

namespace Edit {

ReadSection::ReadSection(std::shared_mutex& lock, std::shared_ptr<Scene> s, Event::EventService* events)
    : eventService(events), scene(std::move(s)), lock_(&lock) {
    lock.lock_shared();
}

ReadSection::~ReadSection() {
    if (lock_) {
        lock_->unlock_shared();
        lock_ = nullptr;
    }
    scene.reset();
}

}  // namespace Edit
