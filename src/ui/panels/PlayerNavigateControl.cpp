#include "ui/panels/PlayerNavigateControl.h"

#include <array>

#include "core/Log.h"
#include "edit/Scene.h"
#include "platform/window/TopLevel.h"
#include "render/MoviePlayer.h"
#include "ui/framework/WindowService.h"

namespace Component {

namespace {

// The k-th button of the row: its left edge counted from the bar's right edge.
int32_t buttonX(int32_t height, int32_t k) { return 79 - 9 * height + k * (height - 7); }

}  // namespace

PlayerNavigateControl::PlayerNavigateControl(Window::ControlContainer& container, int32_t height,
                                             Render::MoviePlayer* player)
    : WindowControlRenderTarget(container, 0, -height, 0, height),
      player_(player),
      self_(std::make_shared<PlayerNavigateControl*>(this)),
      play_(*this, buttonX(height, 0), 7, height - 14, -7,
            player_ != nullptr && player_->isPlaying() ? Control::GlyphPause : Control::GlyphTriangleRight, false),
      previousFrame_(*this, buttonX(height, 1), 7, height - 14, -7, Control::GlyphStepBack, false),
      nextFrame_(*this, buttonX(height, 2), 7, height - 14, -7, Control::GlyphStepForward, false) {
    // A face of the body colour with the glyph in the text colour.
    for (Control::IconButtonControl* button : {&play_, &previousFrame_, &nextFrame_})
        button->iconBrush = Window::StyleBrushList::Text;
    play_.clickAction = [this](Control::ButtonControl&) { togglePlay(); };
    previousFrame_.clickAction = [this](Control::ButtonControl&) { stepFrame(-1); };
    nextFrame_.clickAction = [this](Control::ButtonControl&) { stepFrame(1); };
    updateButtons();
    if (eventService == nullptr) return;
    const std::weak_ptr<PlayerNavigateControl*> weak = self_;
    auto alive = [weak]() -> PlayerNavigateControl* {
        const auto self = weak.lock();
        return self ? *self : nullptr;
    };
    eventService->playStateListeners.add([alive](bool playing) {
        if (PlayerNavigateControl* self = alive()) self->play_.setGlyph(playing ? Control::GlyphPause : Control::GlyphTriangleRight);
    });
    eventService->cursorFrameListeners.add([alive](int) {
        if (PlayerNavigateControl* self = alive()) self->updateButtons();
    });
    eventService->sceneListeners.add([alive](int) {
        if (PlayerNavigateControl* self = alive()) self->updateButtons();
    });
    eventService->objectChangedListeners.add([alive](const Event::EventService::ObjectRef&) {
        if (PlayerNavigateControl* self = alive()) self->updateButtons();
    });
}

PlayerNavigateControl::~PlayerNavigateControl() { *self_ = nullptr; }

void PlayerNavigateControl::procPaint() {
    Window::WindowService* service = Window::WindowService::get();
    if (service == nullptr || target == nullptr || visibleRect.w <= 0 || visibleRect.h <= 0) return;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    fillRectangle(0, 0, fullRect.w, fullRect.h, service->brushes.get(Window::StyleBrushList::Background));
    play_.procPaint();
    previousFrame_.procPaint();
    nextFrame_.procPaint();
    logPlace();
}

void PlayerNavigateControl::logPlace() {
    // Where the buttons are on the screen, for whoever watches the log; once per place.
    const Window::WindowService* service = Window::WindowService::get();
    if (service == nullptr || service->window == nullptr || play_.visibleRect.w <= 0) return;
    Platform::window::Point corner{play_.fullRect.x, play_.fullRect.y};
    (void)Platform::window::clientToScreen(service->window, corner);
    const std::array<int32_t, 4> place{corner.x, corner.y, play_.fullRect.w, previousFrame_.fullRect.x - play_.fullRect.x};
    if (place == loggedPlace_) return;
    loggedPlace_ = place;
    System::Log::verbose("Component::PlayerNavigateControl", "playback buttons at %d,%d %dx%d, %d apart on the screen",
                         corner.x, corner.y, play_.fullRect.w, play_.fullRect.h, place[3]);
}

void PlayerNavigateControl::togglePlay() {
    if (player_ == nullptr) return;
    if (player_->isPlaying())
        player_->stop();
    else
        player_->play();
}

void PlayerNavigateControl::stepFrame(int32_t step) {
    if (editService == nullptr || !editService->currentScene()) return;
    // The edit service keeps the cursor inside the scene and announces it.
    editService->setCursorFrame(editService->currentScene()->cursorFrame + step);
}

void PlayerNavigateControl::updateButtons() {
    const Edit::Scene* scene = editService != nullptr ? editService->currentScene().get() : nullptr;
    const int32_t cursor = scene != nullptr ? scene->cursorFrame : 0;
    const int32_t last = scene != nullptr ? scene->length : 0;
    previousFrame_.setEnabled(scene != nullptr && cursor != 0);
    nextFrame_.setEnabled(scene != nullptr && cursor != last);
}

}  // namespace Component
