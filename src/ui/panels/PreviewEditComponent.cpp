#include "ui/panels/PreviewEditComponent.h"

#include "core/EventCommandPost.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "edit/Scene.h"
#include "platform/window/TopLevel.h"
#include "render/RenderService.h"
#include "ui/framework/WindowService.h"

namespace Component {

namespace {

const std::wstring kTitle = L"プレビュー編集";

int32_t readPlayerControlHeight() {
    Setting::SettingService* settings = Setting::SettingService::get();
    return settings ? settings->layout.getValue("PlayerControlHeight").toInt(32) : 32;
}

}  // namespace

PreviewEditComponent::PreviewEditComponent()
    : WindowClientRenderTarget(&kTitle, "preview", {0.2f, 0.0f, 0.8f, 0.7f, Window::WindowClient::Top, true}),
      renderService_(Render::RenderService::get()),
      self_(std::make_shared<PreviewEditComponent*>(this)),
      playerControlHeight_(readPlayerControlHeight()),
      container_(priority, &clientRect, &clientRect) {
    acceptContextMenu = true;
    acceptWheel = true;
    acceptDrop = true;
    canvas_ = std::make_unique<PreviewControl>(container_, 0, 0, 0, -playerControlHeight_);
    bar_ = std::make_unique<PlayerNavigateControl>(container_, playerControlHeight_,
                                                   renderService_ ? &renderService_->player() : nullptr);
    container_.updateChildLayout();
    if (eventService == nullptr) return;
    const std::weak_ptr<PreviewEditComponent*> weak = self_;
    auto alive = [weak]() -> PreviewEditComponent* {
        const auto self = weak.lock();
        return self ? *self : nullptr;
    };
    eventService->cursorFrameListeners.add([alive](int frame) {
        if (PreviewEditComponent* self = alive()) self->refresh(frame);
    });
    eventService->objectChangedListeners.add([alive](const Event::EventService::ObjectRef&) {
        if (PreviewEditComponent* self = alive()) self->refresh();
    });
    eventService->sceneListeners.add([alive](int) {
        if (PreviewEditComponent* self = alive()) self->refresh();
    });
    eventService->focusObjectListeners.add([alive](const Event::EventService::ObjectRef&) {
        if (PreviewEditComponent* self = alive()) self->refresh();
    });
    eventService->settingSectionListeners.add([alive](int) {
        if (PreviewEditComponent* self = alive()) self->refresh();
    });
    // The anchors' selected look follows the selection: a repaint, no render.
    eventService->selectionListeners.add([alive] {
        if (PreviewEditComponent* self = alive(); self && self->shown()) self->repaintCanvas();
    });
    eventService->renderResultListeners.add([alive](int type, int value) {
        if (PreviewEditComponent* self = alive()) self->onRenderResult(type, value);
    });
}

PreviewEditComponent::~PreviewEditComponent() {
    *self_ = nullptr;
    // The hand-over callback reaches this panel: none may run once it is gone.
    if (renderService_ != nullptr) {
        renderService_->video().cancelRendering(Render::kRenderPreview);
        renderService_->video().waitAll();
    }
}

void PreviewEditComponent::procPaint() {
    if (!shown() || target == nullptr) return;
    const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w, clientRect.y + clientRect.h,
                          true);
    if (Window::WindowService* service = Window::WindowService::get())
        fillRectangle(0, 0, clientRect.w, clientRect.h, service->brushes.get(Window::StyleBrushList::Background));
    canvas_->procPaint();
    bar_->procPaint();
}

void PreviewEditComponent::procMove() {
    WindowClientRenderTarget::procMove();
    container_.updateChildLayout();
}

void PreviewEditComponent::procMouseWheel(int32_t, int32_t, int32_t delta) {
    if (editService == nullptr || !editService->currentScene()) return;
    // Up goes back a frame; the edit service clamps to the scene and announces the cursor.
    const int32_t step = delta > 0 ? -1 : 1;
    editService->setCursorFrame(editService->currentScene()->cursorFrame + step);
}

void PreviewEditComponent::refresh() {
    if (editService == nullptr || !editService->currentScene()) return;
    refresh(editService->currentScene()->cursorFrame);
}

void PreviewEditComponent::refresh(int32_t frame) {
    if (renderService_ == nullptr || editService == nullptr || !editService->currentScene()) return;
    if (editService->currentScene()->playing || !shown()) return;
    renderService_->video().requestRenderingFrame(Render::kRenderPreview, frame,
                                                  [this](int32_t done, Media::RenderBuffer& buffer,
                                                         Anchor::AnchorList* anchors) {
                                                      handOver(done, buffer, anchors);
                                                  });
}

void PreviewEditComponent::handOver(int32_t frame, Media::RenderBuffer& buffer, Anchor::AnchorList* anchors) {
    frameImage_.copyFrom(buffer);
    {
        Platform::os::MutexLock lock(anchorMutex_);
        // Anchors the UI thread has not taken yet are dropped: the newest frame wins.
        pendingAnchors_.clear();
        if (anchors != nullptr) anchors->swap(pendingAnchors_);
        anchorsPending_ = true;
    }
    (void)Event::postEventCommand(Event::EventCommandType::RenderPreview, frame);
}

void PreviewEditComponent::onRenderResult(int32_t type, int32_t value) {
    if (!shown()) return;
    if (type == Render::kRenderPreview)
        takePreviewFrame(value);
    else if (type == Render::kRenderPlayback && editService != nullptr && editService->currentScene() &&
             editService->currentScene()->playing)
        takePlayerFrame();
}

void PreviewEditComponent::takePreviewFrame(int32_t frame) {
    {
        // Whatever the frame image holds now is shown, whichever result this is.
        Platform::os::MutexLock lock(frameImage_.mutex);
        canvas_->setImage(frameImage_.image);
    }
    {
        Platform::os::MutexLock lock(anchorMutex_);
        if (anchorsPending_) {
            pendingAnchors_.swap(canvas_->anchors);
            pendingAnchors_.clear();
            anchorsPending_ = false;
        }
    }
    repaintCanvas();
    // Where the frame landed on the screen, for whoever watches the log.
    const PreviewControl::Placement at = canvas_->framePlacement();
    Platform::window::Point corner{canvas_->fullRect.x + at.left, canvas_->fullRect.y + at.top};
    if (Window::WindowService* service = Window::WindowService::get())
        (void)Platform::window::clientToScreen(service->window, corner);
    System::Log::verbose("Component::PreviewEditComponent", "frame %d shown at %d,%d %dx%d on the screen", frame,
                         corner.x, corner.y, at.right - at.left, at.bottom - at.top);
}

void PreviewEditComponent::takePlayerFrame() {
    if (renderService_ == nullptr) return;
    // Called with the player's frame queue locked; the entry's own mutex comes next.
    if (Media::FrameImage* image = renderService_->player().presentedImage()) {
        Platform::os::MutexLock lock(image->mutex);
        canvas_->setImage(image->image);
    }
    canvas_->anchors.clear();
    repaintCanvas();
}

void PreviewEditComponent::repaintCanvas() {
    if (!shown() || target == nullptr) return;
    canvas_->procPaint();
}

}  // namespace Component
