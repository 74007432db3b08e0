#pragma once
#include <memory>

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

    // How the workers open the read scope of the current scene; the entry
    // point installs it before the render service is built. Without one,
    // requests find no scene and render nothing.
    // Each setter returns the one installed before.
    static RenderVideoWorker::SceneReader setSceneReader(RenderVideoWorker::SceneReader reader);
    // How scenes used as sources are found by id; installed with the reader.
    static RenderSceneSource::SceneFinder setSceneFinder(RenderSceneSource::SceneFinder finder);
    // How the player's timer joins the main loop; the window layer installs
    // it before the render service is built. Without one the timer is armed
    // but nobody waits on it.
    static MoviePlayer::MainLoop setMainLoop(MoviePlayer::MainLoop loop);

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
    Edit::UpdateSection::PlaybackStop previousStop_;
};

}  // namespace Render
