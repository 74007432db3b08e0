#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace Edit {
class Scene;
}
namespace Media {
class ImageBuffer;
class AudioBlockBuffer;
}  // namespace Media

// How the caches reach scenes used as media: the scenes of the current
// project and the render workers that draw their frames and sound. Installed
// at start-up by the side that owns them. Each render request answers exactly
// once through its callback, with an empty value when it produced nothing.
namespace Cache {

class SceneSource {
public:
    using FrameDone = std::function<void(std::shared_ptr<Media::ImageBuffer>)>;
    using BlockDone = std::function<void(std::shared_ptr<Media::AudioBlockBuffer>)>;

    virtual ~SceneSource() = default;
    // The current project's scene with the id, or none.
    virtual std::shared_ptr<Edit::Scene> findScene(int32_t id) = 0;
    virtual void renderSceneFrame(const std::shared_ptr<Edit::Scene>& scene, int32_t frame, FrameDone done) = 0;
    virtual void createSceneAudioBlock(const std::shared_ptr<Edit::Scene>& scene, int32_t block, BlockDone done) = 0;
};

}  // namespace Cache
