#include "render/RenderService.h"

#include "edit/ReadSection.h"
#include "render/cache/CacheService.h"

namespace Render {

namespace {

RenderVideoWorker::SceneReader& sceneReader() {
    static RenderVideoWorker::SceneReader reader;
    return reader;
}

RenderSceneSource::SceneFinder& sceneFinder() {
    static RenderSceneSource::SceneFinder finder;
    return finder;
}

}  // namespace

void RenderService::setSceneReader(RenderVideoWorker::SceneReader reader) { sceneReader() = std::move(reader); }

void RenderService::setSceneFinder(RenderSceneSource::SceneFinder finder) { sceneFinder() = std::move(finder); }

RenderService::RenderService()
    : video_(std::make_unique<RenderVideoWorker>(sceneReader(), RenderVideoWorker::readSettings())),
      audio_(std::make_unique<RenderAudioWorker>(sceneReader())),
      scenes_(std::make_unique<RenderSceneSource>(sceneFinder(), *video_, *audio_)) {
    if (Cache::CacheService* caches = Cache::CacheService::get())
        caches->setSceneSource(scenes_.get());
}

RenderService::~RenderService() {
    if (Cache::CacheService* caches = Cache::CacheService::get())
        caches->setSceneSource(nullptr);
    audio_.reset();  // in reverse order of construction
    video_.reset();
}

}  // namespace Render
