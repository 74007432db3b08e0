#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/EventInstance.h"
#include "edit/EditService.h"
#include "effect/AnchorList.h"
#include "media/gpu/FrameImage.h"
#include "platform/os/ThreadSafety.h"
#include "ui/controls/ControlContainer.h"
#include "ui/framework/WindowClientRenderTarget.h"
#include "ui/panels/PlayerNavigateControl.h"
#include "ui/panels/PreviewControl.h"

namespace Media {
class RenderBuffer;
}
namespace Render {
class RenderService;
}

// The docked panel that shows the current scene's frame at the cursor. It
// asks the video render worker for that frame whenever something that can
// change the picture happens; the worker's thread copies the finished frame
// and its anchors into the hand-over slots and posts a render result, on
// which the UI thread builds the bitmap and repaints. While the scene plays
// it shows the player's frames instead.
namespace Component {

class PreviewEditComponent : public Window::WindowClientRenderTarget,
                             public Edit::EditInstance,
                             public Event::EventInstance {
public:
    PreviewEditComponent();
    ~PreviewEditComponent() override;
    PreviewEditComponent(const PreviewEditComponent&) = delete;
    PreviewEditComponent& operator=(const PreviewEditComponent&) = delete;

    static PreviewEditComponent* get() { return System::ServiceSlot<PreviewEditComponent>::instance; }

    void procPaint() override;
    void procMove() override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    void procContextMenu(int32_t x, int32_t y) override;
    bool procDragOver(int32_t x, int32_t y, Window::DropFiles& files) override;
    bool procDrop(int32_t x, int32_t y, Window::DropFiles& files) override;

    // Puts the frame at the cursor on the clipboard; transparent keeps its alpha.
    void copyImage(bool transparent);
    // Asks for the camera grid's step and range and redraws with them.
    void editCameraGrid();
    // The layer a drop starts on: the first from the top row shown that has
    // no object at the cursor frame.
    static int32_t dropLayer(const Edit::Scene& scene);
    // What a dropped file's name offers: empty when it cannot be used.
    static std::wstring dropToolTip(const std::wstring& path);

    // Asks for the frame, unless the scene plays or the panel is hidden.
    void refresh(int32_t frame);
    // refresh at the scene's cursor.
    void refresh();

    // Render thread: the finished preview frame and its anchors.
    void handOver(int32_t frame, Media::RenderBuffer& buffer, Anchor::AnchorList* anchors);
    // UI thread: a render result of the given task type.
    void onRenderResult(int32_t type, int32_t value);

    PreviewControl& canvas() { return *canvas_; }
    PlayerNavigateControl& playbackBar() { return *bar_; }
    // The zoom of "DisplayZoom": percent, 0 fitting the frame to the area.
    int32_t displayZoom = 0;

private:
    void takePreviewFrame(int32_t frame);
    void takePlayerFrame();
    void repaintCanvas();
    // What anchor events need of the preview: the clipping-object view and its button pictures.
    void installAnchorHooks();

    Render::RenderService* renderService_;
    System::Config::ParameterGroup settings_{"Window.preview"};
    System::Config::Int displayZoomParameter_{settings_, "DisplayZoom", &displayZoom, 0};
    System::Config::ParameterBinding settingsBinding_;
    // Keeps the listeners, which outlive the panel, from reaching it once it is gone.
    std::shared_ptr<PreviewEditComponent*> self_;
    int32_t playerControlHeight_ = 0;
    bool anchorHooksInstalled_ = false;

    Media::FrameImage frameImage_;
    Platform::os::Mutex anchorMutex_;
    Anchor::AnchorList pendingAnchors_ GUARDED_BY(anchorMutex_);
    bool anchorsPending_ GUARDED_BY(anchorMutex_) = false;

    Window::ControlContainer container_;
    std::unique_ptr<PreviewControl> canvas_;
    std::unique_ptr<PlayerNavigateControl> bar_;
};

}  // namespace Component
