#pragma once
// What the image and audio caches share in setting up: their settings group
// and dropping a scene's entries when the scene changes.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "core/EventService.h"
#include "render/cache/ScenePath.h"

namespace System::Config {
class ParameterGroup;
}

namespace Cache {

// Loads the group from the main settings, or resets it when there are none.
void loadCacheGroup(System::Config::ParameterGroup& group);

// Calls dropScene on the cache for each changed scene while alive points at it.
template <class CacheType>
void listenToScenes(const std::shared_ptr<std::atomic<CacheType*>>& alive) {
    if (Event::EventService* events = Event::EventService::get())
        events->sceneListeners.add([alive](int sceneId) {
            if (CacheType* cache = alive->load()) cache->dropScene(sceneId);
        });
}

// Removes the store's entries read from the scene.
template <class Store>
void dropScenePath(Store& store, int32_t sceneId) {
    const std::wstring path = makeScenePath(sceneId);
    store.removeIf([&path](const auto& key) { return key.path == path; });
}

}  // namespace Cache
