#pragma once
#include <functional>
#include <memory>

#include "render/cache/SceneSource.h"

namespace Render {

class RenderAudioWorker;
class RenderVideoWorker;

// How the caches reach scenes used as sources: the scene lookup of the
// project, and the render workers that draw a scene's frame or mix a block
// of its sound. Every request answers exactly once; a scene that gives
// nothing answers with none.
class RenderSceneSource : public Cache::SceneSource {
public:
    using SceneFinder = std::function<std::shared_ptr<Edit::Scene>(int32_t)>;

    RenderSceneSource(SceneFinder finder, RenderVideoWorker& video, RenderAudioWorker& audio);

    std::shared_ptr<Edit::Scene> findScene(int32_t id) override;
    void renderSceneFrame(const std::shared_ptr<Edit::Scene>& scene, int32_t frame, FrameDone done) override;
    void createSceneAudioBlock(const std::shared_ptr<Edit::Scene>& scene, int32_t block, BlockDone done) override;

private:
    SceneFinder finder_;
    RenderVideoWorker& video_;
    RenderAudioWorker& audio_;
};

}  // namespace Render
