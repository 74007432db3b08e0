#include "ui/panels/PlayerNavigateControl.h"

#include "edit/Scene.h"
#include "render/MoviePlayer.h"
#include "ui/framework/WindowService.h"

namespace Component {

namespace {

using Icon = Control::IconButtonControl::Icon;

const Icon kPlayIcon{{{0.25f, 0.15f, 0.85f, 0.5f, 0.25f, 0.85f}}, {}};
const Icon kStopIcon{{}, {{0.2f, 0.2f, 0.8f, 0.8f}}};
const Icon kPreviousFrameIcon{{{0.8f, 0.2f, 0.8f, 0.8f, 0.35f, 0.5f}}, {{0.2f, 0.2f, 0.32f, 0.8f}}};
const Icon kNextFrameIcon{{{0.2f, 0.2f, 0.2f, 0.8f, 0.65f, 0.5f}}, {{0.68f, 0.2f, 0.8f, 0.8f}}};

// The k-th button of the row: its left edge counted from the bar's right edge.
int32_t buttonX(int32_t height, int32_t k) { return 79 - 9 * height + k * (height - 7); }

}  // namespace

PlayerNavigateControl::PlayerNavigateControl(Window::ControlContainer& container, int32_t height,
                                             Render::MoviePlayer* player)
    : WindowControlRenderTarget(container, 0, -height, 0, height),
      player_(player),
      self_(std::make_shared<PlayerNavigateControl*>(this)),
      play_(*this, buttonX(height, 0), 7, height - 14, -7),
      previousFrame_(*this, buttonX(height, 1), 7, height - 14, -7),
      nextFrame_(*this, buttonX(height, 2), 7, height - 14, -7) {
    play_.icon = player_ != nullptr && player_->isPlaying() ? &kStopIcon : &kPlayIcon;
    previousFrame_.icon = &kPreviousFrameIcon;
    nextFrame_.icon = &kNextFrameIcon;
    play_.action = [this] { togglePlay(); };
    previousFrame_.action = [this] { stepFrame(-1); };
    nextFrame_.action = [this] { stepFrame(1); };
    updateButtons();
    if (eventService == nullptr) return;
    const std::weak_ptr<PlayerNavigateControl*> weak = self_;
    auto alive = [weak]() -> PlayerNavigateControl* {
        const auto self = weak.lock();
        return self ? *self : nullptr;
    };
    eventService->playStateListeners.add([alive](bool playing) {
        if (PlayerNavigateControl* self = alive()) self->play_.setIcon(playing ? &kStopIcon : &kPlayIcon);
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
