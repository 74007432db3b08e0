#include "render/RenderService.h"

#include "edit/ReadSection.h"

namespace Render {

namespace {

RenderVideoWorker::SceneReader& sceneReader() {
    static RenderVideoWorker::SceneReader reader;
    return reader;
}

}  // namespace

void RenderService::setSceneReader(RenderVideoWorker::SceneReader reader) { sceneReader() = std::move(reader); }

RenderService::RenderService()
    : video_(std::make_unique<RenderVideoWorker>(sceneReader(), RenderVideoWorker::readSettings())),
      audio_(std::make_unique<RenderAudioWorker>(sceneReader())) {}

RenderService::~RenderService() {
    audio_.reset();  // in reverse order of construction
    video_.reset();
}

}  // namespace Render
