#include "render/RenderService.h"

#include <utility>

#include "core/EventService.h"
#include "edit/EditService.h"
#include "edit/ReadSection.h"
#include "media/audio/XAudio2Service.h"
#include "render/Host.h"
#include "render/cache/CacheService.h"

namespace Render {

namespace {

// The workers' ways to the project, bound to the host installed when the
// service is built.
RenderVideoWorker::SceneReader sceneReader(Host& host) {
    return [&host] { return host.openCurrentScene(); };
}

}  // namespace

RenderService::RenderService()
    : video_(std::make_unique<RenderVideoWorker>(sceneReader(host()), RenderVideoWorker::readSettings())),
      audio_(std::make_unique<RenderAudioWorker>(sceneReader(host()))),
      scenes_(std::make_unique<RenderSceneSource>([&host = host()](int32_t id) { return host.findScene(id); },
                                                  *video_, *audio_)) {
    if (Cache::CacheService* caches = Cache::CacheService::get()) caches->setSceneSource(scenes_.get());
    MoviePlayer::Connections connections;
    connections.currentScene = [] {
        const Edit::EditService* edit = Edit::EditService::instance();
        return edit ? edit->currentScene() : std::shared_ptr<Edit::Scene>();
    };
    connections.video = video_.get();
    connections.audio = audio_.get();
    connections.events = Event::EventService::get();
    connections.output = Media::XAudio2Service::get();
    Host& loopHost = host();
    connections.loop.registerWaitHandle = [&loopHost](const Platform::os::WaitHandle& handle,
                                                      std::function<void()> tick) {
        loopHost.registerWaitHandle(handle, std::move(tick));
    };
    connections.loop.unregisterWaitHandle = [&loopHost](const Platform::os::WaitHandle& handle) {
        loopHost.unregisterWaitHandle(handle);
    };
    player_ = std::make_unique<MoviePlayer>(std::move(connections));
    stopScope_.emplace(Edit::UpdateSection::setPlaybackStop, [player = player_.get()] { player->stop(); });
}

void RenderService::stop() {
    player_->stop();
    video_->stop();
    audio_->stop();
}

RenderService::~RenderService() {
    stopScope_.reset();  // the stop before the player it calls
    player_.reset();
    if (Cache::CacheService* caches = Cache::CacheService::get()) caches->setSceneSource(nullptr);
    audio_.reset();  // in reverse order of construction
    video_.reset();
}

}  // namespace Render
