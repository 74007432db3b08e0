#pragma once
#include <array>
#include <cstdint>
#include <memory>

#include "core/EventInstance.h"
#include "edit/EditService.h"
#include "ui/controls/IconButtonControl.h"
#include "ui/controls/WindowControlRenderTarget.h"

namespace Render {
class MoviePlayer;
}

// The playback bar at the bottom of the preview: play/pause and the two
// frame-step buttons, squares of the bar's height less 14 with 7-pixel gaps,
// placed from the bar's right edge. Play/pause follows the play state;
// each button acts at the press.
namespace Component {

class PlayerNavigateControl : public Window::WindowControlRenderTarget,
                              public Edit::EditInstance,
                              public Event::EventInstance {
public:
    // height: the bar's height, which sets the buttons' size; player: the
    // one the bar starts and stops (none: the buttons do nothing).
    PlayerNavigateControl(Window::ControlContainer& container, int32_t height, Render::MoviePlayer* player);
    ~PlayerNavigateControl() override;
    PlayerNavigateControl(const PlayerNavigateControl&) = delete;
    PlayerNavigateControl& operator=(const PlayerNavigateControl&) = delete;

    void procPaint() override;

    // Stops the player while it plays, otherwise starts it.
    void togglePlay();
    // Moves the cursor by the step, kept inside the scene.
    void stepFrame(int32_t step);
    // Enables the frame-step buttons from the cursor's place.
    void updateButtons();

    Control::IconButtonControl& playButton() { return play_; }
    Control::IconButtonControl& previousFrameButton() { return previousFrame_; }
    Control::IconButtonControl& nextFrameButton() { return nextFrame_; }

private:
    void logPlace();

    Render::MoviePlayer* player_;
    std::array<int32_t, 4> loggedPlace_{};
    std::shared_ptr<PlayerNavigateControl*> self_;
    Control::IconButtonControl play_;
    Control::IconButtonControl previousFrame_;
    Control::IconButtonControl nextFrame_;
};

}  // namespace Component
