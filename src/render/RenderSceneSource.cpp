#include "render/RenderSceneSource.h"

#include "edit/Scene.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/image/ImageBuffer.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderVideoWorker.h"

namespace Render {

RenderSceneSource::RenderSceneSource(SceneFinder finder, RenderVideoWorker& video, RenderAudioWorker& audio)
    : finder_(std::move(finder)), video_(video), audio_(audio) {}

std::shared_ptr<Edit::Scene> RenderSceneSource::findScene(int32_t id) { return finder_ ? finder_(id) : nullptr; }

void RenderSceneSource::renderSceneFrame(const std::shared_ptr<Edit::Scene>& scene, int32_t frame, FrameDone done) {
    if (!scene) {
        if (done)
            done(nullptr);
        return;
    }
    // The scene is held until its frame is read back.
    video_.renderSceneFrame(*scene, frame, [scene, done = std::move(done)](std::shared_ptr<Media::ImageBuffer> image) {
        if (done)
            done(std::move(image));
    });
}

void RenderSceneSource::createSceneAudioBlock(const std::shared_ptr<Edit::Scene>& scene, int32_t block,
                                              BlockDone done) {
    if (!scene) {
        if (done)
            done(nullptr);
        return;
    }
    audio_.createSceneAudioBlock(*scene, block, [scene, done = std::move(done)](std::shared_ptr<Media::AudioBlockBuffer> b) {
        if (done)
            done(std::move(b));
    });
}

}  // namespace Render
