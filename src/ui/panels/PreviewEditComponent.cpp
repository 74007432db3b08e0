#include "ui/panels/PreviewEditComponent.h"
#include <array>
#include <cwctype>

#include "core/EventCommandPost.h"
#include "core/Log.h"
#include "media/audio/XAudio2Service.h"
#include "core/SettingService.h"
#include "core/TranslateService.h"
#include "edit/Object.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/ObjectSectionCommands.h"
#include "edit/ObjectSplitCommands.h"
#include "edit/Scene.h"
#include "edit/SceneLayer.h"
#include "edit/UpdateSection.h"
#include "effect/EffectService.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "ui/dialogs/GridCameraDialog.h"
#include "ui/framework/DropFiles.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/ToolTips.h"
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
      settingsBinding_(settings_, Setting::SettingService::mainSettings()),
      self_(std::make_shared<PreviewEditComponent*>(this)),
      playerControlHeight_(readPlayerControlHeight()),
      container_(priority, &clientRect, &clientRect) {
    acceptContextMenu = true;
    acceptWheel = true;
    acceptDrop = true;
    if (System::IniFile* main = Setting::SettingService::mainSettings()) settings_.load(*main);
    canvas_ = std::make_unique<PreviewControl>(container_, 0, 0, 0, -playerControlHeight_, &displayZoom);
    bar_ = std::make_unique<PlayerNavigateControl>(container_, playerControlHeight_,
                                                   renderService_ ? &renderService_->player() : nullptr,
                                                   Media::XAudio2Service::get());
    bar_->setPreviewArea(canvas_.get());
    bar_->previousSectionAction = [] { Edit::EditCommand::moveCursorToPrevSection(); };
    bar_->nextSectionAction = [] { Edit::EditCommand::moveCursorToNextSection(); };
    bar_->moveTimeDialogAction = [] { Edit::EditCommand::showMoveTimeDialog(); };
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
    installAnchorHooks();
}

void PreviewEditComponent::installAnchorHooks() {
    if (editService == nullptr || renderService_ == nullptr) return;
    // The button pictures are made here, on the UI thread: the anchor pass only hands them on.
    std::array<const void*, 2> icons{nullptr, nullptr};
    // The camera's button: editable, not editable, free view.
    std::array<const void*, 3> cameraIcons{nullptr, nullptr, nullptr};
    if (Window::WindowService* windows = Window::WindowService::get()) {
        try {
            icons[0] = &windows->bitmaps.get(Window::StyleBitmapList::ClipOff);
            icons[1] = &windows->bitmaps.get(Window::StyleBitmapList::Clip);
            cameraIcons[0] = &windows->bitmaps.get(Window::StyleBitmapList::Camera);
            cameraIcons[1] = &windows->bitmaps.get(Window::StyleBitmapList::CameraOff);
            cameraIcons[2] = &windows->bitmaps.get(Window::StyleBitmapList::CameraOn);
        } catch (const std::exception& e) {
            System::Log::warn("Component::PreviewEditComponent", "no clipping or camera view pictures: %s", e.what());
        }
    }
    Render::RenderVideoWorker* video = &renderService_->video();
    Edit::EditAnchorCommands::PanelHooks hooks;
    hooks.visibleClippingObject = [video] { return video->visibleClippingObject != 0; };
    hooks.setVisibleClippingObject = [](bool visible) { Edit::EditCommand::setVisibleClippingObjectView(visible); };
    hooks.clippingIcon = [icons](bool visible) { return icons[visible ? 1 : 0]; };
    hooks.cameraFreeView = [video] { return video->cameraFreeView != 0; };
    hooks.setCameraFreeView = [](bool on) { Edit::EditCommand::setCameraFreeView(on); };
    hooks.cameraIcon = [cameraIcons](int32_t kind) {
        return kind >= 0 && kind < 3 ? cameraIcons[static_cast<size_t>(kind)] : nullptr;
    };
    editService->anchorCommands().setPanelHooks(std::move(hooks));
    anchorHooksInstalled_ = true;
}

PreviewEditComponent::~PreviewEditComponent() {
    *self_ = nullptr;
    // The hand-over callback reaches this panel: none may run once it is gone.
    if (renderService_ != nullptr) {
        renderService_->video().cancelRendering(Render::kRenderPreview);
        renderService_->video().waitAll();
    }
    if (anchorHooksInstalled_ && Edit::EditService::instance() != nullptr)
        Edit::EditService::instance()->anchorCommands().setPanelHooks({});
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

void PreviewEditComponent::procContextMenu(int32_t x, int32_t y) {
    if (editService == nullptr || !editService->currentScene()) return;
    const std::shared_ptr<Edit::Scene> scene = editService->currentScene();
    PreviewVideoControl& canvas = canvas_->canvas();
    // The object named by the anchor under the pointer becomes selected.
    const bool ctrl = (Platform::window::getKeyState(Platform::window::kVkControl) & 0x8000) != 0;
    const float cx = static_cast<float>(clientRect.x + x - canvas.fullRect.x);
    const float cy = static_cast<float>(clientRect.y + y - canvas.fullRect.y);
    if (const Anchor::AnchorItem* hit = canvas.hitTestAnchor(cx, cy); hit != nullptr && !ctrl) {
        const Anchor::AnchorItem* named = hit->id == Anchor::AnchorItem::kCurrentValue ? hit
                                          : hit->id <= 99999999                        ? canvas.findObjectAnchor(*hit)
                                                                                       : nullptr;
        if (named != nullptr && named->object)
            editService->clickSelectObject(&canvas, named->object,
                                           editService->settings().clickAnchorObjectSelectGroup != 0);
    }
    Window::PopupMenu menu;
    const auto grey = [](const Window::BaseMenu::Item& item, bool off) {
        if (off) Platform::window::enableMenuItem(item.menu, static_cast<uint32_t>(item.id), false);
    };
    const auto check = [](const Window::BaseMenu::Item& item, bool on) {
        if (on) Platform::window::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    };
    if (scene->selection.objects.empty()) {
        grey(menu.insertItem(L"貼り付け", [] { Edit::EditCommand::pasteObject(); }), !Edit::EditCommand::canPaste());
        menu.insertSeparator();
    } else {
        menu.insertItem(L"切り取り", [] { Edit::EditCommand::cutObject(); });
        menu.insertItem(L"コピー", [] { Edit::EditCommand::copyObject(); });
        grey(menu.insertItem(L"貼り付け", [] { Edit::EditCommand::pasteObject(); }), !Edit::EditCommand::canPaste());
        menu.insertItem(L"削除", [] { Edit::EditCommand::deleteObject(); });
        menu.insertSeparator();
    }
    if (renderService_ != nullptr) {
        const Render::RenderVideoWorker& video = renderService_->video();
        // The display switches are edit commands: their scope redraws the preview.
        check(menu.insertItem(L"グリッド(カメラ制御)の表示",
                              [on = video.cameraGrid == 0] { Edit::EditCommand::setCameraGrid(on); }),
              video.cameraGrid != 0);
        check(menu.insertItem(L"編集視点(カメラ制御)表示",
                              [on = video.cameraFreeView == 0] { Edit::EditCommand::setCameraFreeView(on); }),
              video.cameraFreeView != 0);
        check(menu.insertItem(L"クリッピングオブジェクトの視覚化",
                              [on = video.visibleClippingObject == 0] {
                                  Edit::EditCommand::setVisibleClippingObjectView(on);
                              }),
              video.visibleClippingObject != 0);
        menu.insertSeparator();
        menu.insertItem(L"クリップボードにイメージをコピー", [this] { copyImage(false); });
        menu.insertItem(L"クリップボードにイメージをコピー(背景透過)", [this] { copyImage(true); });
        menu.insertSeparator();
    }
    {
        Window::BaseMenu zoom(menu, L"拡大表示");
        canvas_->addZoomMenu(zoom);
    }
    menu.insertSeparator();
    {
        Window::BaseMenu options(menu, L"オプション");
        options.insertItem(L"グリッド(カメラ制御)の設定", [this] { editCameraGrid(); });
        options.insertSeparator();
        Edit::EditService::Settings& settings = editService->settings();
        const struct {
            const wchar_t* label;
            int32_t* value;
            bool refreshes;
        } switches[] = {
            {L"シングルクリックでオブジェクトをフォーカス(プレビュー)", &settings.singleClickFocusAnchorObject, false},
            {L"クリック時にオブジェクトのグループを選択(プレビュー)", &settings.clickAnchorObjectSelectGroup, false},
            {L"オブジェクトのスナップ(プレビュー)", &settings.anchorObjectMoveSnap, false},
            {L"マウスホバー時に対象以外のアンカーを非表示", &settings.mouseHoverHideOtherAnchor, false},
            {L"オブジェクトの移動軌跡に点を表示", &settings.displayObjectMovePoint, true},
            {L"区間のアンカー表示をオブジェクトの中心位置にする", &settings.displayObjectCenterAnchor, true},
        };
        for (const auto& s : switches) {
            int32_t* value = s.value;
            const bool refreshes = s.refreshes;
            check(options.insertItem(s.label,
                                     [this, value, refreshes] {
                                         *value = *value != 0 ? 0 : 1;
                                         if (refreshes) refresh();
                                     }),
                  *value != 0);
        }
    }
    menu.insertSeparator();
    addClientMenu(menu);
    menu.show();
}

void PreviewEditComponent::editCameraGrid() {
    if (renderService_ == nullptr) return;
    Render::RenderVideoWorker& video = renderService_->video();
    Dialog::GridCameraDialog::Field step{L"表示間隔", video.cameraGridStep, 1, 10000};
    Dialog::GridCameraDialog::Field range{L"表示範囲", video.cameraGridRange, 10, 100000};
    if (!Dialog::GridCameraDialog(L"グリッド(カメラ制御)の設定").open(step, range)) return;
    video.cameraGridStep = step.value;
    video.cameraGridRange = range.value;
    // Announcing the cursor frame again draws the preview with the new grid.
    if (editService != nullptr) editService->updateCursorFrame();
}

void PreviewEditComponent::copyImage(bool transparent) {
    if (renderService_ == nullptr || editService == nullptr || !editService->currentScene()) return;
    const int32_t format = transparent ? 87 : 88;
    renderService_->video().requestRenderingFrame(
        Render::kRenderExport, editService->currentScene()->cursorFrame,
        [format](int32_t, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
            Edit::EditService::copyFrameImage(format, buffer);
        });
}

namespace {

std::wstring lowerExtension(const std::wstring& path) {
    const size_t dot = path.find_last_of(L'.');
    const size_t slash = path.find_last_of(L"/\\");
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return {};
    std::wstring extension = path.substr(dot + 1);
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
    return extension;
}

}  // namespace

std::wstring PreviewEditComponent::dropToolTip(const std::wstring& path) {
    const std::wstring extension = lowerExtension(path);
    if (extension == L"vln2") return L"言語ファイルを設定";
    if (extension == L"vpj2") return L"プロジェクトを開く";
    if (extension == L"object") return L"レイヤーに追加";
    const Effect::EffectService* effects = Effect::EffectService::get();
    if (effects != nullptr && effects->isSupportedFile(path)) return L"レイヤーに追加";
    return {};
}

bool PreviewEditComponent::procDragOver(int32_t, int32_t, Window::DropFiles& files) {
    if (files.files.empty()) return false;
    const std::wstring tip = dropToolTip(files.files.front());
    if (tip.empty()) return false;
    Window::ToolTips::showAtCursor(tip.c_str());
    return true;
}

int32_t PreviewEditComponent::dropLayer(const Edit::Scene& scene) {
    for (int32_t layer = std::max(scene.displayLayer, 0);; ++layer) {
        if (layer >= scene.layerCount()) return layer;
        bool covered = false;
        for (const std::shared_ptr<Edit::Object>& object : scene.getLayer(layer).objects)
            if (object->start <= scene.cursorFrame && object->end >= scene.cursorFrame) covered = true;
        if (!covered) return layer;
    }
}

bool PreviewEditComponent::procDrop(int32_t, int32_t, Window::DropFiles& files) {
    Window::ToolTips::hide();
    if (files.files.empty() || editService == nullptr || !editService->currentScene()) return false;
    const std::wstring& first = files.files.front();
    const std::wstring extension = lowerExtension(first);
    if (extension == L"vln2") {
        if (Translate::TranslateService* translate = Translate::TranslateService::get())
            translate->registerLanguageFile(first);
        return true;
    }
    if (extension == L"vpj2") return editService->loadProject(first, true, true);
    const std::shared_ptr<Edit::Scene> scene = editService->currentScene();
    int32_t layer = dropLayer(*scene);
    const int32_t frame = scene->cursorFrame;
    for (const std::wstring& file : files.files) {
        if (lowerExtension(file) == L"object") {
            (void)Edit::EditCommand::loadObject(file, layer, frame);
        } else {
            const Effect::EffectService* effects = Effect::EffectService::get();
            const std::wstring effect = effects != nullptr ? effects->getInputEffectForFile(file) : std::wstring();
            if (effect.empty()) {
                Edit::Project::postError(L"このファイルには対応していません");
                return false;
            }
            (void)Edit::EditCommand::createObject(effect, layer, frame, Edit::EditCommand::passFile(file));
        }
        ++layer;
    }
    return true;
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
            pendingAnchors_.swap(canvas_->anchors());
            pendingAnchors_.clear();
            anchorsPending_ = false;
        }
    }
    canvas_->canvas().layoutAnchors();
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
    canvas_->anchors().clear();
    canvas_->canvas().layoutAnchors();
    repaintCanvas();
}

void PreviewEditComponent::repaintCanvas() {
    if (!shown() || target == nullptr) return;
    canvas_->procPaint();
}

}  // namespace Component
