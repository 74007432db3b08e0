#pragma once
// A movie player over one scene for the playback bar's tests: its workers read
// the scene the getter gives, and its clock never moves, so nothing becomes
// due while a test looks.
#include <functional>
#include <memory>

#include "core/EventService.h"
#include "edit/Scene.h"
#include "render/MoviePlayer.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderVideoWorker.h"

inline std::unique_ptr<Render::MoviePlayer> makeStillPlayer(std::function<std::shared_ptr<Edit::Scene>()> scene,
                                                            Render::RenderVideoWorker& video,
                                                            Render::RenderAudioWorker& audio) {
    Render::MoviePlayer::Connections c;
    c.currentScene = std::move(scene);
    c.video = &video;
    c.audio = &audio;
    c.events = Event::EventService::get();
    c.clock.counter = [] { return int64_t{1000}; };
    c.clock.frequency = 1000;
    c.clock.pause = [] {};
    return std::make_unique<Render::MoviePlayer>(std::move(c));
}
