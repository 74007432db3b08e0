#include "ui/panels/PlayerNavigateControl.h"

#include <algorithm>
#include <array>

#include "core/Log.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "platform/window/Menu.h"
#include "platform/window/TopLevel.h"
#include "render/MoviePlayer.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/WindowService.h"
#include "ui/panels/TimelineView.h"

namespace Component {

namespace {

// The k-th button of the row: its left edge counted from the bar's right edge.
int32_t buttonX(int32_t height, int32_t k) { return 79 - 9 * height + k * (height - 7); }
// The two value buttons, from the bar's right edge.
int32_t valueX(int32_t height, int32_t k) { return 30 - 2 * height + k * (height - 15); }

}  // namespace

PlayerNavigateControl::PlayerNavigateControl(Window::ControlContainer& container, int32_t height,
                                             Render::MoviePlayer* player, Media::XAudio2Service* output)
    : WindowControlRenderTarget(container, 0, -height, 0, height),
      player_(player),
      self_(std::make_shared<PlayerNavigateControl*>(this)),
      inner_(priority + 1, &visibleRect, &fullRect),
      counter_(inner_, 7, 0, TimeCounterControl::counterWidth(), 0),
      position_(inner_, 7 + TimeCounterControl::counterWidth() + 8, 0, 79 - 9 * height - 7, 0),
      play_(inner_, buttonX(height, 0), 7, height - 14, -7,
            player_ != nullptr && player_->isPlaying() ? Control::GlyphPause : Control::GlyphTriangleRight, false),
      previousFrame_(inner_, buttonX(height, 1), 7, height - 14, -7, Control::GlyphStepBack),
      nextFrame_(inner_, buttonX(height, 2), 7, height - 14, -7, Control::GlyphStepForward),
      previousSection_(inner_, buttonX(height, 3), 7, height - 14, -7, Control::GlyphFastBack, false),
      nextSection_(inner_, buttonX(height, 4), 7, height - 14, -7, Control::GlyphFastForward, false),
      rangeStart_(inner_, buttonX(height, 5), 7, height - 14, -7, Control::GlyphSkipStart, false),
      rangeEnd_(inner_, buttonX(height, 6), 7, height - 14, -7, Control::GlyphSkipEnd, false),
      volume_(inner_, valueX(height, 0), 11, height - 22, -11, player, output),
      zoom_(inner_, valueX(height, 1), 11, height - 22, -11) {
    acceptContextMenu = true;
    // A face of the body colour with the glyph in the text colour.
    for (Control::IconButtonControl* button : {&play_, static_cast<Control::IconButtonControl*>(&previousFrame_),
                                               static_cast<Control::IconButtonControl*>(&nextFrame_),
                                               &previousSection_, &nextSection_, &rangeStart_, &rangeEnd_})
        button->iconBrush = Window::StyleBrushList::Text;
    play_.toolTipText = L"プレビュー再生・停止";
    previousFrame_.toolTipText = L"前のフレームに移動";
    nextFrame_.toolTipText = L"次のフレームに移動";
    previousSection_.toolTipText = L"前のセクションに移動";
    nextSection_.toolTipText = L"次のセクションに移動";
    rangeStart_.toolTipText = L"範囲選択の開始フレームに設定";
    rangeEnd_.toolTipText = L"範囲選択の終了フレームに設定";
    play_.clickAction = [this](Control::ButtonControl&) { togglePlay(); };
    previousFrame_.clickAction = [this](Control::ButtonControl&) { stepFrame(-1); };
    nextFrame_.clickAction = [this](Control::ButtonControl&) { stepFrame(1); };
    previousSection_.clickAction = [this](Control::ButtonControl&) {
        if (previousSectionAction) previousSectionAction();
    };
    nextSection_.clickAction = [this](Control::ButtonControl&) {
        if (nextSectionAction) nextSectionAction();
    };
    rangeStart_.clickAction = [this](Control::ButtonControl&) {
        if (editService != nullptr && editService->currentScene())
            setFrameRange(editService->currentScene()->cursorFrame, -1);
    };
    rangeEnd_.clickAction = [this](Control::ButtonControl&) {
        if (editService != nullptr && editService->currentScene())
            setFrameRange(-1, editService->currentScene()->cursorFrame);
    };
    position_.changeAction = [this](Control::TrackBarControl&, int32_t frame) {
        if (editService != nullptr && editService->currentScene()) editService->setCursorFrame(frame);
    };
    inner_.updateChildLayout();
    updatePosition();
    updateButtons();
    if (eventService == nullptr) return;
    const std::weak_ptr<PlayerNavigateControl*> weak = self_;
    auto alive = [weak]() -> PlayerNavigateControl* {
        const auto self = weak.lock();
        return self ? *self : nullptr;
    };
    eventService->playStateListeners.add([alive](bool playing) {
        if (PlayerNavigateControl* self = alive()) {
            self->play_.setGlyph(playing ? Control::GlyphPause : Control::GlyphTriangleRight);
            self->updatePosition();
        }
    });
    eventService->visibleFrameListeners.add([alive](int start, int count) {
        if (PlayerNavigateControl* self = alive()) {
            self->visibleStart_ = start;
            self->visibleCount_ = count;
            self->updatePosition();
        }
    });
    eventService->frameRangeListeners.add([alive](int, int) {
        if (PlayerNavigateControl* self = alive()) self->updatePosition();
    });
    eventService->cursorFrameListeners.add([alive](int) {
        if (PlayerNavigateControl* self = alive()) self->updatePosition();
    });
    eventService->renderResultListeners.add([alive](int type, int) {
        if (PlayerNavigateControl* self = alive(); self && type == 2) self->updatePosition();
    });
    eventService->focusObjectListeners.add([alive](const Event::EventService::ObjectRef&) {
        if (PlayerNavigateControl* self = alive()) self->updateButtons();
    });
    eventService->objectChangedListeners.add([alive](const Event::EventService::ObjectRef&) {
        if (PlayerNavigateControl* self = alive()) self->updatePosition();
    });
    eventService->sceneListeners.add([alive](int) {
        if (PlayerNavigateControl* self = alive()) self->updatePosition();
    });
}

PlayerNavigateControl::~PlayerNavigateControl() { *self_ = nullptr; }

void PlayerNavigateControl::procMove() { inner_.updateChildLayout(); }

void PlayerNavigateControl::procPaint() {
    Window::WindowService* service = Window::WindowService::get();
    if (service == nullptr || target == nullptr || visibleRect.w <= 0 || visibleRect.h <= 0) return;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    fillRectangle(0, 0, fullRect.w, fullRect.h, service->brushes.get(Window::StyleBrushList::Background));
    for (Window::WindowControl* child : inner_.children) child->procPaint();
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
    Platform::window::Point counter{counter_.fullRect.x, counter_.fullRect.y};
    Platform::window::Point zoom{zoom_.fullRect.x, zoom_.fullRect.y};
    (void)Platform::window::clientToScreen(service->window, counter);
    (void)Platform::window::clientToScreen(service->window, zoom);
    System::Log::verbose("Component::PlayerNavigateControl",
                         "time counter at %d,%d %dx%d, zoom button at %d,%d %dx%d on the screen", counter.x, counter.y,
                         counter_.fullRect.w, counter_.fullRect.h, zoom.x, zoom.y, zoom_.fullRect.w, zoom_.fullRect.h);
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

void PlayerNavigateControl::setFrameRange(int32_t start, int32_t end) {
    if (selectFrameRangeAction) {
        selectFrameRangeAction(start, end);
        return;
    }
    const std::shared_ptr<Edit::Scene>& scene = editService->currentScene();
    // The timeline's rule: a negative end keeps or extends that end of the selection.
    const TimelineView::FrameRange next =
        TimelineView::selectFrameRange(start, end, {scene->selectedStart, scene->selectedEnd}, scene->length);
    const int32_t first = next.start, last = next.end;
    if (first == scene->selectedStart && last == scene->selectedEnd) return;
    scene->selectedStart = first;
    scene->selectedEnd = last;
    System::Log::verbose("Component::PlayerNavigateControl", "frame range %d to %d", first, last);
    if (eventService != nullptr) eventService->frameRangeListeners.call(first, last);
}

void PlayerNavigateControl::updatePosition() {
    const Edit::Scene* scene = editService != nullptr ? editService->currentScene().get() : nullptr;
    if (scene == nullptr) return;
    const int32_t last = scene->length;
    const bool playing = scene->playing;
    const int32_t frame = std::clamp(playing ? scene->playFrame : scene->cursorFrame, 0, std::max(last, 0));
    const int32_t rangeStart = playing ? 0 : visibleStart_, rangeEnd = playing ? 0 : visibleStart_ + visibleCount_;
    const std::array<int32_t, 6> next{last, frame, rangeStart, rangeEnd, scene->selectedStart, scene->selectedEnd};
    counter_.setFrame(frame, scene->videoRate, scene->videoScale);
    if (next == shown_) return;
    shown_ = next;
    position_.setLength(last);
    position_.setPosition(frame);
    const auto inside = [last](int32_t v) { return std::clamp(v, 0, std::max(last, 0)); };
    position_.setRange(inside(rangeStart), inside(rangeEnd));
    if (scene->selectedStart >= 0 && scene->selectedEnd >= 0)
        position_.setSelectRange(inside(scene->selectedStart), inside(scene->selectedEnd));
    else
        position_.setSelectRange(0, 0);
    position_.invalidate();
    counter_.invalidate();
    updateButtons();
}

void PlayerNavigateControl::updateButtons() {
    const Edit::Scene* scene = editService != nullptr ? editService->currentScene().get() : nullptr;
    const int32_t cursor = scene != nullptr ? scene->cursorFrame : 0;
    const int32_t last = scene != nullptr ? scene->length : 0;
    previousFrame_.setEnabled(scene != nullptr && cursor != 0);
    nextFrame_.setEnabled(scene != nullptr && cursor != last);
    const Edit::Object* focus = scene != nullptr ? scene->focusObject.get() : nullptr;
    previousSection_.setEnabled(focus != nullptr && cursor > focus->start);
    nextSection_.setEnabled(focus != nullptr && cursor < focus->end);
}

void PlayerNavigateControl::procContextMenu(int32_t, int32_t) {
    const bool playing = player_ != nullptr && player_->isPlaying();
    Window::PopupMenu menu;
    const auto grey = [](const Window::BaseMenu::Item& item, bool off) {
        if (off) Platform::window::enableMenuItem(item.menu, static_cast<uint32_t>(item.id), false);
    };
    grey(menu.insertItem(L"再生",
                         [this] {
                             if (player_ != nullptr) player_->play();
                         }),
         playing);
    grey(menu.insertItem(L"停止",
                         [this] {
                             if (player_ != nullptr) player_->stop();
                         }),
         !playing);
    menu.insertSeparator();
    const Edit::Scene* scene = editService != nullptr ? editService->currentScene().get() : nullptr;
    grey(menu.insertItem(L"フレーム範囲選択を解除", [this] { setFrameRange(-1, -1); }),
         scene == nullptr || scene->selectedStart < 0 || scene->selectedEnd < 0);
    grey(menu.insertItem(L"指定時間に移動",
                         [this] {
                             if (moveTimeDialogAction) moveTimeDialogAction();
                         }),
         !moveTimeDialogAction);
    menu.insertSeparator();
    const Window::BaseMenu::Item back = menu.insertItem(L"停止時にカーソル位置へ戻る", [this] {
        if (player_ != nullptr) player_->returnCursorPosition = player_->returnCursorPosition != 0 ? 0 : 1;
    });
    if (player_ != nullptr && player_->returnCursorPosition != 0)
        Platform::window::checkMenuItem(back.menu, static_cast<uint32_t>(back.id), true);
    menu.show();
}

}  // namespace Component
