#pragma once
#include <memory>

#include "core/ServiceHolder.h"
#include "render/RenderVideoWorker.h"

namespace Render {

// The render workers of the program: the video worker (the audio worker and
// the player join it). Built right after the edit service, torn down before it.
class RenderService {
public:
    RenderService();
    ~RenderService();
    RenderService(const RenderService&) = delete;
    RenderService& operator=(const RenderService&) = delete;

    static RenderService* get() { return System::ServiceSlot<RenderService>::instance; }

    // How the workers open the read scope of the current scene; the entry
    // point installs it before the render service is built. Without one,
    // requests find no scene and render nothing.
    static void setSceneReader(RenderVideoWorker::SceneReader reader);

    RenderVideoWorker& video() { return *video_; }

private:
    std::unique_ptr<RenderVideoWorker> video_;
};

}  // namespace Render
