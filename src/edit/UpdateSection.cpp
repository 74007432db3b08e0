#include "edit/UpdateSection.h"

#include "core/EventService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"

namespace Edit {
namespace {
UpdateSection::PanelRefresh& panelRefresh() {
    static UpdateSection::PanelRefresh refresh;
    return refresh;
}
UpdateSection::PlaybackStop& playbackStop() {
    static UpdateSection::PlaybackStop stop;
    return stop;
}
}  // namespace

UpdateSection::UpdateSection(std::shared_mutex& lock, std::shared_ptr<Scene> s, Event::EventService* events)
    : eventService(events), scene(std::move(s)), lock_(&lock) {
    // Playback waits for its renders, which hold the lock shared: it stops
    // before the lock is asked for.
    stopPlayback();
    lock.lock();
}

UpdateSection::PlaybackStop UpdateSection::setPlaybackStop(PlaybackStop stop) {
    std::swap(playbackStop(), stop);
    return stop;
}

void UpdateSection::stopPlayback() {
    if (playbackStop()) playbackStop()();
}

UpdateSection::PanelRefresh UpdateSection::setPanelRefresh(PanelRefresh refresh) {
    std::swap(panelRefresh(), refresh);
    return refresh;
}

UpdateSection::~UpdateSection() {
    if (layersChanged && scene) {
        scene->update();
        if (scene->focusObject && scene->focusObject->layer == -1) {
            scene->focusObject.reset();
            focusChanged = true;
        }
    }
    if (undoOpen)
        if (auto* undo = Undo::UndoService::get()) undo->commitRecord();
    if (lock_) {
        lock_->unlock();
        lock_ = nullptr;
    }
    if (panelRefresh()) panelRefresh()(*this);
    if (Event::EventService* events = eventService) {
        if (objectChanged) events->objectChangedListeners.call(changedObject);
        if (layerChanged) events->layerListeners.call();
        if (sceneChanged) events->sceneListeners.call(sceneId);
        if (focusChanged) events->focusObjectListeners.call(scene ? scene->focusObject : nullptr);
        if (cursorChanged) events->cursorFrameListeners.call(scene ? scene->cursorFrame : 0);
    }
    changedObject.reset();
    scene.reset();
}

}  // namespace Edit
