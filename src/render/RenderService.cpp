#include "render/RenderService.h"

#include <utility>

#include "core/EventService.h"
#include "edit/EditService.h"
#include "edit/ReadSection.h"
#include "media/audio/XAudio2Service.h"
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

MoviePlayer::MainLoop& mainLoop() {
    static MoviePlayer::MainLoop loop;
    return loop;
}

}  // namespace

RenderVideoWorker::SceneReader RenderService::setSceneReader(RenderVideoWorker::SceneReader reader) {
    std::swap(sceneReader(), reader);
    return reader;
}

RenderSceneSource::SceneFinder RenderService::setSceneFinder(RenderSceneSource::SceneFinder finder) {
    std::swap(sceneFinder(), finder);
    return finder;
}

MoviePlayer::MainLoop RenderService::setMainLoop(MoviePlayer::MainLoop loop) {
    std::swap(mainLoop(), loop);
    return loop;
}

RenderService::RenderService()
    : video_(std::make_unique<RenderVideoWorker>(sceneReader(), RenderVideoWorker::readSettings())),
      audio_(std::make_unique<RenderAudioWorker>(sceneReader())),
      scenes_(std::make_unique<RenderSceneSource>(sceneFinder(), *video_, *audio_)) {
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
    connections.loop = mainLoop();
    player_ = std::make_unique<MoviePlayer>(std::move(connections));
    previousStop_ = Edit::UpdateSection::setPlaybackStop([player = player_.get()] { player->stop(); });
}

void RenderService::stop() {
    player_->stop();
    video_->stop();
    audio_->stop();
}

RenderService::~RenderService() {
    Edit::UpdateSection::setPlaybackStop(std::move(previousStop_));
    player_.reset();
    if (Cache::CacheService* caches = Cache::CacheService::get()) caches->setSceneSource(nullptr);
    audio_.reset();  // in reverse order of construction
    video_.reset();
}

}  // namespace Render
