#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/EventInstance.h"
#include "edit/EditService.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/IconButtonControl.h"
#include "ui/controls/RepeatClickButtonControl.h"
#include "ui/controls/TrackBarControl.h"
#include "ui/controls/WindowControlRenderTarget.h"
#include "ui/panels/preview/SliderButtonControl.h"
#include "ui/panels/preview/TimeCounterControl.h"

namespace Render {
class MoviePlayer;
}
namespace Media {
class XAudio2Service;
}

// The playback bar at the bottom of the preview: the time counter, the
// position bar over the scene's frames with the timeline's visible window
// and the frame-range selection marked on it, play/stop, frame and section
// steps, the two range buttons, and the volume and zoom value buttons. The
// seven buttons are squares of the bar's height less 14 with 7-pixel gaps,
// placed from the bar's right edge.
namespace Component {

class PreviewControl;

class PlayerNavigateControl : public Window::WindowControlRenderTarget,
                              public Edit::EditInstance,
                              public Event::EventInstance {
public:
    // height: the bar's height, which sets the buttons' size; player: the
    // one the bar starts and stops (none: the buttons do nothing).
    PlayerNavigateControl(Window::ControlContainer& container, int32_t height, Render::MoviePlayer* player,
                          Media::XAudio2Service* output = nullptr);
    ~PlayerNavigateControl() override;
    PlayerNavigateControl(const PlayerNavigateControl&) = delete;
    PlayerNavigateControl& operator=(const PlayerNavigateControl&) = delete;

    void procPaint() override;
    void procMove() override;
    void procContextMenu(int32_t x, int32_t y) override;

    // Stops the player while it plays, otherwise starts it.
    void togglePlay();
    // Moves the cursor by the step, kept inside the scene.
    void stepFrame(int32_t step);
    // Enables the step buttons from the cursor's place and the focus object.
    void updateButtons();
    // Shows the frame, the ranges and the counter as the scene has them now.
    void updatePosition();
    // The zoom button acts on this preview area.
    void setPreviewArea(PreviewControl* area) { zoom_.setPreviewArea(area); }

    // What the section, range and move-to-time commands do; the program
    // installs them. The range action defaults to setting the scene's
    // frame-range selection directly.
    std::function<void()> previousSectionAction;
    std::function<void()> nextSectionAction;
    std::function<void()> moveTimeDialogAction;
    std::function<void(int32_t start, int32_t end)> selectFrameRangeAction;

    Control::IconButtonControl& playButton() { return play_; }
    Control::IconButtonControl& previousFrameButton() { return previousFrame_; }
    Control::IconButtonControl& nextFrameButton() { return nextFrame_; }
    Control::IconButtonControl& previousSectionButton() { return previousSection_; }
    Control::IconButtonControl& nextSectionButton() { return nextSection_; }
    Control::IconButtonControl& rangeStartButton() { return rangeStart_; }
    Control::IconButtonControl& rangeEndButton() { return rangeEnd_; }
    Control::TrackBarControl& positionBar() { return position_; }
    TimeCounterControl& timeCounter() { return counter_; }
    VolulmeButtonControl& volumeButton() { return volume_; }
    ZoomButtonControl& zoomButton() { return zoom_; }

private:
    void logPlace();
    void setFrameRange(int32_t start, int32_t end);

    Render::MoviePlayer* player_;
    std::array<int32_t, 4> loggedPlace_{};
    std::shared_ptr<PlayerNavigateControl*> self_;
    // What the bar shows: last frame, shown frame, the two sub-ranges.
    std::array<int32_t, 6> shown_{-1, -1, -1, -1, -1, -1};
    int32_t visibleStart_ = 0, visibleCount_ = 0;
    Window::ControlContainer inner_;
    TimeCounterControl counter_;
    Control::TrackBarControl position_;
    Control::IconButtonControl play_;
    Control::RepeatClickButtonControl previousFrame_;
    Control::RepeatClickButtonControl nextFrame_;
    Control::IconButtonControl previousSection_;
    Control::IconButtonControl nextSection_;
    Control::IconButtonControl rangeStart_;
    Control::IconButtonControl rangeEnd_;
    VolulmeButtonControl volume_;
    ZoomButtonControl zoom_;
};

}  // namespace Component
