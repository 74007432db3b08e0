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
    : video_(std::make_unique<RenderVideoWorker>(sceneReader(), RenderVideoWorker::readSettings())) {}

RenderService::~RenderService() = default;

}  // namespace Render
