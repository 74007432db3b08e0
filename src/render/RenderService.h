#pragma once
#include <memory>
#include <optional>

#include "core/HookScope.h"
#include "core/ServiceHolder.h"
#include "edit/UpdateSection.h"
#include "render/MoviePlayer.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderSceneSource.h"
#include "render/RenderVideoWorker.h"

namespace Render {

// The render workers of the program, the video worker and the audio worker,
// and the player that drives them during playback. Built right after the
// edit service, torn down before it. While it lives every edit scope stops
// playback first.
class RenderService {
public:
    RenderService();
    ~RenderService();
    RenderService(const RenderService&) = delete;
    RenderService& operator=(const RenderService&) = delete;

    static RenderService* get() { return System::ServiceSlot<RenderService>::instance; }

    // The workers reach the project and the player the main loop through
    // the render host (render/Host.h) installed before the service is built.

    // Stops playback, then the render threads (video, then audio; each its
    // render thread before its per-object thread). Shutdown calls it before
    // the panels go; requests made later are dropped.
    void stop();

    RenderVideoWorker& video() { return *video_; }
    RenderAudioWorker& audio() { return *audio_; }
    MoviePlayer& player() { return *player_; }

private:
    std::unique_ptr<RenderVideoWorker> video_;
    std::unique_ptr<RenderAudioWorker> audio_;
    // Installed in the caches while the workers live.
    std::unique_ptr<RenderSceneSource> scenes_;
    // Goes first: its stop waits for the workers.
    std::unique_ptr<MoviePlayer> player_;
    // The playback stop edit scopes call while the player lives.
    std::optional<System::HookScope<Edit::UpdateSection::PlaybackStop>> stopScope_;
};

}  // namespace Render
