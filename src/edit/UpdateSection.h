#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <shared_mutex>

namespace Event {
class EventService;
}

namespace Edit {

class Object;
class Scene;

// The edit scope: holds the project lock exclusively while the model is
// changed and gathers what changed as flags. Closing puts the scene in order,
// commits the undo record, releases the lock and only then refreshes the
// panels and calls the listener lists the flags name.
class UpdateSection {
public:
    // Panel refreshes of the closing steps (sections, effect blocks, the time,
    // colour and text panels); the panels install it when they exist.
    using PanelRefresh = std::function<void(const UpdateSection&)>;
    // Stops playback; the render service installs it while it lives.
    using PlaybackStop = std::function<void()>;

    Event::EventService* eventService;
    std::shared_ptr<Scene> scene;
    bool layersChanged = false;
    bool effectsChanged = false;
    bool sectionsChanged = false;
    bool effectStateChanged = false;
    bool timeSettingChanged = false;
    bool colorSettingChanged = false;
    bool textSettingChanged = false;
    bool objectChanged = false;
    bool layerChanged = false;
    bool sceneChanged = false;
    bool focusChanged = false;
    bool cursorChanged = false;
    std::shared_ptr<Object> changedObject;
    int32_t sceneId = 0;
    bool undoOpen = false;

    // Stops playback first, then waits for every read scope in progress.
    UpdateSection(std::shared_mutex& lock, std::shared_ptr<Scene> scene, Event::EventService* events);
    ~UpdateSection();
    UpdateSection(const UpdateSection&) = delete;
    UpdateSection& operator=(const UpdateSection&) = delete;

    bool holdsLock() const { return lock_ != nullptr; }
    static PanelRefresh setPanelRefresh(PanelRefresh refresh);
    // Returns the one installed before. Dialogs stop playback through it too.
    static PlaybackStop setPlaybackStop(PlaybackStop stop);
    // Stops playback when a player has installed its stop.
    static void stopPlayback();

private:
    std::shared_mutex* lock_;
};

}  // namespace Edit
