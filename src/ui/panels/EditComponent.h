#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/ConfigFloat.h"
#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/HookScope.h"
#include "core/ServiceHolder.h"
#include "edit/FrameZoom.h"
#include "ui/controls/ControlContainer.h"
#include "ui/framework/WindowClientRenderTarget.h"
#include "ui/panels/TimelineView.h"

namespace Edit {
class KeyHoldRouter;
class Scene;
}  // namespace Edit
namespace Control {
class ScrollBarControl;
class ZoomGaugeControl;
}  // namespace Control

// The timeline panel: one row per layer of the current scene, time running
// left to right. It owns the view state its controls share and the settings
// of the "Edit" group, loaded when it is built and written back when it goes.
namespace Component {

class EditLayerHeaderControl;
class EditLayerObjectControl;
class TimeGaugeControl;

class EditComponent : public Window::WindowClientRenderTarget {
public:
    // The current scene's name in the corner box: a click lists the scenes.
    class SceneButtonControl;

    EditComponent();
    ~EditComponent() override;
    EditComponent(const EditComponent&) = delete;
    EditComponent& operator=(const EditComponent&) = delete;

    static EditComponent* get() { return System::ServiceSlot<EditComponent>::instance; }

    void procPaint() override;
    void procMove() override;
    // The options of the timeline, then the window's own items.
    void addClientMenu(Window::BaseMenu& menu) override;
    // The grid and option items alone (the context menus of the children start with their own).
    void addOptionsMenu(Window::BaseMenu& menu);
    // Shows or hides the BPM grid.
    void setTempoGrid();
    // Asks for the BPM grid's tempo, beats per bar and offset.
    void editTempoGrid();

    bool updateLayerScroll(int32_t layer, bool force);
    bool updateFrameScroll(int32_t frame, bool force);
    bool setZoom(Edit::FrameZoom zoom);
    // Zooms keeping the frame under the same pixel.
    void zoomAroundFrame(Edit::FrameZoom zoom, int32_t frame);
    void scrollTo(int32_t layer, int32_t frame, int32_t cursorFrame);
    // Moves the cursor to the frame under x of the object area, scrolling when x lies outside it.
    void seekToPixel(int32_t x);
    // Repaint after a model change; -1 for every layer.
    void refresh(int32_t layer);
    void repaint(bool objects, bool layersChanged, bool framesChanged, bool cursorChanged, int32_t layer);
    void onCursorFrame(int32_t frame);
    void onSceneChanged();
    // A render result; only the player's frames move the view.
    void followPlayer(int32_t type, int32_t frame);
    void updateRangeAnchor(int32_t frame);
    void setSelectFrameRange(int32_t start, int32_t end);
    // Gives the scene a layer slot for every row that can be shown.
    void ensureLayerSlots();
    // Makes the scene the one shown and fills the view from it (a scene change).
    void showScene(std::shared_ptr<Edit::Scene> shown);

    int32_t lastLayer() const;
    int32_t lastFrame() const;
    // The object area's rectangle in window pixels.
    const Window::MouseRect& objectAreaRect() const;

    std::shared_ptr<Edit::Scene> scene;
    TimelineView view;
    int32_t lastCursorFrame = -1;
    int32_t rangeAnchor = 0;

    // The "Edit" group.
    int32_t displayLayerRange = 1;
    int32_t tempoGrid = 0;
    float tempoBeatPerMinute = 120.0f;
    int32_t tempoBeatTime = 4;
    float tempoOffsetTime = 0;
    int32_t showMoveObjectTime = 1;
    int32_t layerWheelMode = 0;

    Window::ControlContainer controls;
    std::unique_ptr<EditLayerHeaderControl> headerColumn;
    std::unique_ptr<EditLayerObjectControl> objectArea;
    std::unique_ptr<TimeGaugeControl> ruler;
    std::unique_ptr<SceneButtonControl> sceneButton;
    std::unique_ptr<Control::ZoomGaugeControl> zoomGauge;
    std::unique_ptr<Control::ScrollBarControl> layerBar;
    std::unique_ptr<Control::ScrollBarControl> frameBar;

private:
    void joinEvents();
    void fireVisibleFrames();
    void showLayerBar();
    // Logs where the rows are on the screen whenever that changes.
    void logPlace();
    void showFrameBar();

    System::Config::ParameterGroup group_{"Edit"};
    System::Config::Int displayLayerRange_{group_, "DisplayLayerRange", &displayLayerRange, 1};
    System::Config::Int tempoGrid_{group_, "TempoGrid", &tempoGrid, 0};
    System::Config::Float tempoBeatPerMinute_{group_, "TempoBeatPerMinute", &tempoBeatPerMinute, 120.0f};
    System::Config::Int tempoBeatTime_{group_, "TempoBeatTime", &tempoBeatTime, 4};
    System::Config::Float tempoOffsetTime_{group_, "TempoOffsetTime", &tempoOffsetTime, 0.0f};
    System::Config::Int showMoveObjectTime_{group_, "ShowMoveObjectTime", &showMoveObjectTime, 1};
    System::Config::Int layerWheelMode_{group_, "LayerWheelMode", &layerWheelMode, 0};
    std::unique_ptr<System::Config::ParameterBinding> binding_;
    // Listeners of the event service outlive the panel: they hold this only weakly.
    std::shared_ptr<EditComponent*> self_;
    // What the selection clicks hold keys on, and the one installed before.
    std::shared_ptr<Edit::KeyHoldRouter> keyHold_;
    std::optional<System::HookScope<std::shared_ptr<Edit::KeyHoldRouter>>> keyHoldScope_;
    std::array<int32_t, 5> loggedPlace_{};
};

}  // namespace Component
