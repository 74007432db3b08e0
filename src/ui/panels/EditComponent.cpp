#include "ui/panels/EditComponent.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <utility>

#include "core/EventService.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "edit/EditService.h"
#include "edit/Scene.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "platform/window/TopLevel.h"
#include "ui/controls/ScrollBarControl.h"
#include "ui/controls/ZoomGaugeControl.h"
#include "ui/dialogs/GridTempDialog.h"
#include "ui/framework/BaseMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowService.h"
#include "ui/panels/EditLayerObjectControl.h"
#include "ui/panels/timeline/EditKeyHoldRouter.h"
#include "ui/panels/timeline/EditLayerHeaderControl.h"
#include "ui/panels/timeline/SceneButtonControl.h"
#include "ui/panels/timeline/TimeGaugeControl.h"

namespace Component {

namespace {

const std::wstring kTitle = L"レイヤー編集";
constexpr int32_t kPlayerTask = 2;

int32_t layoutValue(const char* key, int32_t fallback) {
    Setting::SettingService* settings = Setting::SettingService::get();
    return settings != nullptr ? settings->layout.getValue(key).toInt(fallback) : fallback;
}

bool shiftHeld() { return (Platform::window::getKeyState(Platform::window::kVkShift) & 0x8000) != 0; }

}  // namespace

EditComponent::EditComponent()
    : WindowClientRenderTarget(&kTitle, "edit", {0.2f, 0.7f, 0.5f, 1.0f, Bottom, true}),
      controls(priority + 1, &clientRect, &clientRect),
      self_(std::make_shared<EditComponent*>(this)) {
    view.metrics.layerHeight = std::max(1, layoutValue("LayerHeight", 28));
    view.metrics.headerWidth = layoutValue("LayerHeaderWidth", 96);
    view.metrics.gaugeHeight = layoutValue("TimeGaugeHeight", 32);
    view.metrics.scrollBar = Window::ScrollBarSize;
    const TimelineView::Metrics& m = view.metrics;
    const int32_t s = m.scrollBar, w = m.headerWidth, h = m.gaugeHeight;
    headerColumn = std::make_unique<EditLayerHeaderControl>(*this, controls, 0, h, w, -s);
    objectArea = std::make_unique<EditLayerObjectControl>(*this, controls, w, h, -s, -s);
    ruler = std::make_unique<TimeGaugeControl>(*this, controls, w, 0, -s, h);
    sceneButton = std::make_unique<SceneButtonControl>(controls, 0, 2, std::max(1, w - 3), std::max(1, h - 6));
    zoomGauge = std::make_unique<Control::ZoomGaugeControl>(controls, 0, -s, std::max(1, w), s);
    zoomGauge->changeAction = [this](Control::ZoomGaugeControl&, Edit::FrameZoom zoom) {
        zoomAroundFrame(zoom, scene ? scene->cursorFrame : 0);
    };
    layerBar = std::make_unique<Control::ScrollBarControl>(controls, -s, 0, s, 0);
    layerBar->scrollAction = [this](Control::ScrollBarControl&, int32_t first) {
        if (!scene) return;
        scrollTo(std::clamp(first, 0, std::max(0, view.layerRange - view.visibleRows)), view.displayFrame,
                 scene->cursorFrame);
    };
    frameBar = std::make_unique<Control::ScrollBarControl>(controls, w, -s, -s, s);
    frameBar->wheelStep = 100;
    frameBar->scrollAction = [this](Control::ScrollBarControl&, int32_t first) {
        if (!scene) return;
        scrollTo(view.displayLayer, std::clamp(first, 0, std::max(0, view.frameRange - view.visibleFrames)),
                 scene->cursorFrame);
    };
    keyHold_ = std::make_shared<EditKeyHoldRouter>();
    keyHoldScope_.emplace(Edit::EditService::setKeyHoldRouter, keyHold_);
    joinEvents();
    for (System::Config::Parameter* parameter : group_.parameters()) parameter->reset();
    if (System::IniFile* settings = Setting::SettingService::mainSettings()) group_.load(*settings);
    binding_ = std::make_unique<System::Config::ParameterBinding>(group_, Setting::SettingService::mainSettings());
    // The edit service may have made its first scene current before the panel was there.
    if (Edit::EditService* edit = Edit::EditService::instance(); edit != nullptr && edit->currentScene())
        showScene(edit->currentScene());
}

EditComponent::~EditComponent() {
    *self_ = nullptr;
    keyHoldScope_.reset();
}

void EditComponent::joinEvents() {
    Event::EventService* events = Event::EventService::get();
    if (events == nullptr) return;
    std::weak_ptr<EditComponent*> weak = self_;
    auto with = [weak](auto&& action) {
        if (auto self = weak.lock(); self && *self) action(**self);
    };
    events->cursorFrameListeners.add(
        [with](int frame) { with([frame](EditComponent& p) { p.onCursorFrame(frame); }); });
    events->sceneListeners.add([with](int) { with([](EditComponent& p) { p.onSceneChanged(); }); });
    events->objectChangedListeners.add(
        [with](const Event::EventService::ObjectRef&) { with([](EditComponent& p) { p.refresh(-1); }); });
    events->renderResultListeners.add(
        [with](int type, int frame) { with([type, frame](EditComponent& p) { p.followPlayer(type, frame); }); });
    events->playStateListeners.add([with](bool playing) {
        with([playing](EditComponent& p) {
            if (!playing && p.objectArea->hasOverlay()) p.objectArea->restoreOverlay();
        });
    });
}

int32_t EditComponent::lastLayer() const { return scene ? scene->lastUsedLayer : 0; }
int32_t EditComponent::lastFrame() const { return scene ? std::max(0, scene->length) : 0; }
const Window::MouseRect& EditComponent::objectAreaRect() const { return objectArea->fullRect; }

void EditComponent::fireVisibleFrames() {
    if (Event::EventService* events = Event::EventService::get())
        events->visibleFrameListeners.call(view.displayFrame, view.visibleFrames);
}

bool EditComponent::updateLayerScroll(int32_t layer, bool force) {
    const bool changed = view.updateLayerScroll(clientRect.h, lastLayer(), layer, force);
    if (scene) scene->displayLayer = view.displayLayer;
    showLayerBar();
    return changed;
}

void EditComponent::showLayerBar() {
    if (!layerBar) return;
    layerBar->minimum = 0;
    layerBar->maximum = std::max(0, view.layerRange - 1);
    layerBar->setPosition(view.displayLayer, view.displayLayer + std::max(0, view.visibleRows - 1));
}

void EditComponent::showFrameBar() {
    if (!frameBar) return;
    frameBar->minimum = 0;
    frameBar->maximum = std::max(0, view.frameRange - 1);
    frameBar->wheelStep = 100;
    frameBar->setPosition(view.displayFrame, view.displayFrame + std::max(0, view.visibleFrames - 1));
}

bool EditComponent::updateFrameScroll(int32_t frame, bool force) {
    bool visibleChanged = false;
    const bool changed = view.updateFrameScroll(clientRect.w, lastFrame(), frame, force, visibleChanged);
    if (scene) scene->displayFrame = view.displayFrame;
    if (visibleChanged) fireVisibleFrames();
    showFrameBar();
    return changed;
}

bool EditComponent::setZoom(Edit::FrameZoom zoom) {
    const Edit::FrameZoom normalised(zoom.value, &Edit::FrameZoom::normalize);
    view.zoom = normalised.value;
    if (scene) scene->displayZoom = normalised;
    if (zoomGauge) zoomGauge->setZoom(normalised);
    return updateFrameScroll(view.displayFrame, false);
}

void EditComponent::zoomAroundFrame(Edit::FrameZoom zoom, int32_t frame) {
    const int32_t offset = view.pixelOf(frame);
    (void)setZoom(zoom);
    const int64_t left = int64_t(frame) - int64_t(offset) * 10000 / view.zoom;
    (void)updateFrameScroll(static_cast<int32_t>(std::clamp<int64_t>(left, 0, INT32_MAX)), false);
    if (Media::RenderTarget::target == nullptr) return;
    const Media::RenderTarget::DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w,
                                               clientRect.y + clientRect.h, true);
    zoomGauge->procPaint();
    frameBar->procPaint();
    ruler->procPaint();
    objectArea->procPaint();
}

void EditComponent::scrollTo(int32_t layer, int32_t frame, int32_t cursorFrame) {
    const bool a = updateLayerScroll(layer, false);
    const bool b = updateFrameScroll(frame, false);
    bool cursorChanged = false;
    if (scene) {
        const int32_t cursor = std::clamp(cursorFrame, 0, lastFrame());
        if (cursor != scene->cursorFrame) {
            scene->cursorFrame = cursor;
            updateRangeAnchor(cursor);
            cursorChanged = true;
        }
    }
    if (a || b || cursorChanged) repaint(false, a, b, cursorChanged, -1);
}

void EditComponent::seekToPixel(int32_t x) {
    if (!scene) return;
    const int32_t f = view.frameAt(x);
    if (f == scene->cursorFrame) return;
    int32_t left = view.displayFrame;
    const int32_t width = objectArea->fullRect.w;
    if (x < 0) {
        left = std::max(0, view.displayFrame - (view.frameAt(-x) - view.displayFrame));
    } else if (x >= width) {
        left = std::min(view.frameRange - view.visibleFrames, view.frameAt(x - width + 1));
    }
    scrollTo(view.displayLayer, left, f);
    scene->cursorFrame = std::clamp(scene->cursorFrame, 0, lastFrame());
    if (Event::EventService* events = Event::EventService::get()) events->cursorFrameListeners.call(scene->cursorFrame);
}

void EditComponent::refresh(int32_t layer) {
    const bool a = updateLayerScroll(view.displayLayer, true);
    const bool b = updateFrameScroll(view.displayFrame, true);
    bool moved = false;
    if (scene) {
        const int32_t cursor = std::clamp(scene->cursorFrame, 0, lastFrame());
        if (cursor != scene->cursorFrame) {
            scene->cursorFrame = cursor;
            updateRangeAnchor(cursor);
            moved = true;
        }
    }
    repaint(true, a, b, moved, layer);
}

void EditComponent::repaint(bool objects, bool layersChanged, bool framesChanged, bool cursorChanged, int32_t layer) {
    if (Media::RenderTarget::target != nullptr && shown()) {
        const Media::RenderTarget::DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w,
                                                   clientRect.y + clientRect.h, true);
        if (layersChanged) {
            layerBar->procPaint();
            headerColumn->procPaint();
            objects = true;
            layer = -1;
        }
        if (framesChanged || cursorChanged) {
            frameBar->procPaint();
            ruler->procPaint();
        }
        if (layersChanged || framesChanged || cursorChanged || (objects && layer < 0))
            objectArea->procPaint();
        else if (objects)
            objectArea->paintRow(layer);
    }
    if (scene) lastCursorFrame = scene->cursorFrame;
}

void EditComponent::onCursorFrame(int32_t frame) {
    if (frame == lastCursorFrame) return;
    updateRangeAnchor(frame);
    if (frame < view.displayFrame || frame > view.displayFrame + view.visibleFrames) {
        (void)updateFrameScroll(frame - view.visibleFrames / 2, false);
        repaint(false, false, true, true, -1);
        return;
    }
    repaint(false, false, false, true, -1);
}

void EditComponent::onSceneChanged() {
    Edit::EditService* edit = Edit::EditService::instance();
    showScene(edit != nullptr ? edit->currentScene() : nullptr);
}

void EditComponent::showScene(std::shared_ptr<Edit::Scene> shown) {
    scene = std::move(shown);
    const Edit::FrameZoom zoom = scene ? scene->displayZoom : Edit::FrameZoom();
    const int32_t layer = scene ? scene->displayLayer : 0;
    const int32_t frame = scene ? scene->displayFrame : 0;
    view.displayFrame = frame;
    (void)setZoom(zoom);
    (void)updateLayerScroll(layer, true);
    (void)updateFrameScroll(frame, true);
    rangeAnchor = scene ? scene->cursorFrame : 0;
    if (sceneButton) sceneButton->setText(scene ? scene->name : std::wstring());
    objectArea->focusObject = scene ? scene->focusObject : nullptr;
    objectArea->hover = {};
    if (Media::RenderTarget::target != nullptr && WindowClient::shown()) {
        const Media::RenderTarget::DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w,
                                                   clientRect.y + clientRect.h, true);
        zoomGauge->procPaint();
        sceneButton->procPaint();
    }
    repaint(true, true, true, true, -1);
}

void EditComponent::followPlayer(int32_t type, int32_t frame) {
    if (type != kPlayerTask || !scene) return;
    if (frame < view.displayFrame || frame > view.displayFrame + view.visibleFrames) {
        (void)updateFrameScroll(frame, false);
        repaint(false, false, true, false, -1);
    } else if (objectArea->hasOverlay()) {
        objectArea->restoreOverlay();
    } else {
        repaint(true, false, false, false, -1);
    }
    objectArea->drawPlayerCursor();
}

void EditComponent::updateRangeAnchor(int32_t frame) {
    if (!shiftHeld()) {
        rangeAnchor = frame;
        return;
    }
    if (!scene) return;
    const int32_t start = std::min(frame, rangeAnchor), end = std::max(frame, rangeAnchor);
    if (start == scene->selectedStart && end == scene->selectedEnd) return;
    scene->selectedStart = start;
    scene->selectedEnd = end;
    if (Event::EventService* events = Event::EventService::get()) events->frameRangeListeners.call(start, end);
}

void EditComponent::setSelectFrameRange(int32_t start, int32_t end) {
    if (!scene) return;
    const TimelineView::FrameRange current{scene->selectedStart, scene->selectedEnd};
    const TimelineView::FrameRange next = TimelineView::selectFrameRange(start, end, current, lastFrame());
    if (next == current) return;
    scene->selectedStart = next.start;
    scene->selectedEnd = next.end;
    if (Media::RenderTarget::target != nullptr && shown()) {
        const Media::RenderTarget::DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w,
                                                   clientRect.y + clientRect.h, true);
        ruler->procPaint();
    }
    if (Event::EventService* events = Event::EventService::get())
        events->frameRangeListeners.call(next.start, next.end);
}

void EditComponent::ensureLayerSlots() {
    if (!scene || scene->layerCount() > view.layerRange) return;
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) {
        scene->reserveLayer(view.layerRange);
        return;
    }
    // A paint that runs inside an edit scope finds the lock taken: the rows
    // then read the empty slot, and the next paint makes the slots.
    std::unique_lock lock(edit->lock(), std::try_to_lock);
    if (lock.owns_lock()) scene->reserveLayer(view.layerRange);
}

void EditComponent::procPaint() {
    if (Media::RenderTarget::target == nullptr) return;
    const Media::RenderTarget::DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w,
                                               clientRect.y + clientRect.h, true);
    // The corner box behind the scene button, and what no control covers.
    fillRectangle(0, 0, clientRect.w, clientRect.h, windowService->brushes.get(Window::StyleBrushList::Background));
    for (Window::WindowControl* control : controls.children) control->procPaint();
    logPlace();
}

void EditComponent::logPlace() {
    const Window::MouseRect& rows = objectArea->fullRect;
    if (windowService == nullptr || windowService->window == nullptr || rows.w <= 0 || rows.h <= 0) return;
    Platform::window::Point corner{rows.x, rows.y};
    (void)Platform::window::clientToScreen(windowService->window, corner);
    const std::array<int32_t, 5> place{corner.x, corner.y, rows.w, rows.h, view.metrics.layerHeight};
    if (place == loggedPlace_) return;
    loggedPlace_ = place;
    System::Log::verbose("Component::EditComponent", "timeline rows at %d,%d %dx%d, %d high, on the screen", corner.x,
                         corner.y, rows.w, rows.h, view.metrics.layerHeight);
}

void EditComponent::procMove() {
    (void)updateLayerScroll(view.displayLayer, true);
    (void)updateFrameScroll(view.displayFrame, true);
    (void)setZoom(scene ? scene->displayZoom : Edit::FrameZoom(view.zoom));
    controls.updateChildLayout();
    showLayerBar();
    showFrameBar();
}

void EditComponent::addClientMenu(Window::BaseMenu& menu) {
    addOptionsMenu(menu);
    WindowClientRenderTarget::addClientMenu(menu);
}

void EditComponent::addOptionsMenu(Window::BaseMenu& menu) {
    namespace W = Platform::window;
    auto check = [](const Window::BaseMenu::Item& item, bool on) {
        if (on) W::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    };
    check(menu.insertItem(L"グリッド(BPM)の表示", [this] { setTempoGrid(); }), tempoGrid != 0);
    menu.insertSeparator();
    Window::BaseMenu options(menu, L"オプション");
    options.insertItem(L"グリッド(BPM)の設定", [this] { editTempoGrid(); });
    options.insertSeparator();
    auto toggle = [this, &options, &check](const wchar_t* label, int32_t* value, bool repaints) {
        check(options.insertItem(label,
                                 [this, value, repaints] {
                                     *value = *value != 0 ? 0 : 1;
                                     if (repaints) procPaint();
                                 }),
              *value != 0);
    };
    if (Edit::EditService* edit = Edit::EditService::instance()) {
        Edit::EditService::Settings& settings = edit->settings();
        toggle(L"シングルクリックでオブジェクトをフォーカス(レイヤー)", &settings.singleClickFocusLayerObject, false);
        toggle(L"クリック時にオブジェクトのグループを選択(レイヤー)", &settings.clickLayerObjectSelectGroup, false);
        toggle(L"オブジェクトのスナップ(レイヤー)", &settings.layerObjectMoveSnap, false);
        toggle(L"マウスホイールで縦スクロール(レイヤー)", &layerWheelMode, false);
        toggle(L"中間点追加・分割を現在のフレームで行う", &settings.addSectionSplitByCursorFrame, false);
    } else {
        toggle(L"マウスホイールで縦スクロール(レイヤー)", &layerWheelMode, false);
    }
    toggle(L"オブジェクトの区間変更時に時間を表示", &showMoveObjectTime, false);
    toggle(L"対象レイヤー範囲を表示", &displayLayerRange, true);
}

void EditComponent::setTempoGrid() {
    tempoGrid = tempoGrid != 0 ? 0 : 1;
    System::Log::info("Edit::EditCommand::setTempoGrid", "set tempo grid enable=%d", tempoGrid);
    procPaint();
}

void EditComponent::editTempoGrid() {
    float tempo = tempoBeatPerMinute, offset = tempoOffsetTime;
    int32_t beats = tempoBeatTime;
    if (!Dialog::GridTempDialog().open(tempo, beats, offset)) return;
    tempoBeatPerMinute = std::clamp(tempo, 1.0f, 1000.0f);
    tempoBeatTime = std::clamp(beats, 0, 100);
    tempoOffsetTime = std::clamp(offset, -3600.0f, 3600.0f);
    procPaint();
}

}  // namespace Component
