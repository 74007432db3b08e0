#include "ui/panels/timeline/EditLayerHeaderControl.h"

#include <algorithm>
#include <string>

#include "core/EventService.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "media/gpu/ResourceService.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "ui/controls/ControlInput.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleBitmapList.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/panels/EditComponent.h"
#include "ui/panels/EditLayerObjectControl.h"

namespace Component {

namespace {

using Brushes = Window::StyleBrushList;
using Router = Window::WindowMouseService;
namespace W = Platform::window;

bool ctrlHeld() { return (W::getKeyState(W::kVkControl) & 0x8000) != 0; }

// A layer edit: one scope with its own record, telling the panels that
// objects and layer headers changed when it closes.
std::unique_ptr<Edit::UpdateSection> openLayerScope(bool resort) {
    auto scope = Edit::EditService::instance()->openSection();
    scope->objectChanged = true;
    scope->layerChanged = true;
    scope->layersChanged = resort;
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->openRecord(*scope);
    return scope;
}

std::shared_ptr<Edit::Layer> layerOf(Edit::Scene& scene, int32_t index) {
    scene.reserveLayer(index);
    return scene.layers[size_t(index)]->layer;
}

void addLayerUpdate(const std::shared_ptr<Edit::Layer>& layer) {
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->addLayerUndoUpdate(layer);
}

}  // namespace

EditLayerHeaderControl::EditLayerHeaderControl(EditComponent& panel, Window::ControlContainer& container, int32_t x,
                                               int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h),
      panel_(panel),
      self_(std::make_shared<EditLayerHeaderControl*>(this)) {
    if (Resource::ResourceService* resources = Resource::ResourceService::get())
        format_ = resources->textFormats[Resource::ResourceService::kLayerObject].get();
    const int32_t lineHeight = format_ != nullptr ? static_cast<int32_t>(format_->getLineHeight()) : 0;
    labelTop_ = (panel_.view.metrics.layerHeight - lineHeight) / 2;
    acceptRightButton = true;
    acceptWheel = true;
    acceptContextMenu = true;
    if (Event::EventService* events = Event::EventService::get()) {
        std::weak_ptr<EditLayerHeaderControl*> weak = self_;
        events->layerListeners.add([weak] {
            if (auto self = weak.lock(); self && *self) (*self)->procPaint();
        });
    }
}

EditLayerHeaderControl::~EditLayerHeaderControl() { *self_ = nullptr; }

// ---- drawing

void EditLayerHeaderControl::procPaint() {
    panel_.ensureLayerSlots();
    if (target == nullptr || fullRect.w <= 0 || fullRect.h <= 0 || !panel_.scene) return;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    for (int32_t i = 0; i < panel_.view.visibleRows; ++i) paintHeader(panel_.view.displayLayer + i);
}

void EditLayerHeaderControl::paintHeader(int32_t layer) {
    const TimelineView& view = panel_.view;
    if (layer < view.displayLayer || layer >= view.displayLayer + view.visibleRows || target == nullptr ||
        !panel_.scene)
        return;
    const int32_t rowHeight = view.metrics.layerHeight;
    const int32_t top = fullRect.y + (layer - view.displayLayer) * rowHeight;
    const int32_t bottom = std::min(top + rowHeight, fullRect.y + fullRect.h);
    if (top >= bottom) return;
    const DrawScope scope(*this, fullRect.x, top, fullRect.x + fullRect.w, bottom, true);
    Window::StyleBrushList& brushes = panel_.windowService->brushes;
    const Edit::SceneLayer& slot = panel_.scene->getLayer(layer);
    const bool hidden = slot.layer && slot.layer->hide;
    const bool locked = slot.layer && slot.layer->lock;
    const int32_t width = fullRect.w;
    fillRectangle(0, 0, width, rowHeight,
                  brushes.get(layer == hoveredLayer ? Brushes::LayerHover
                              : hidden              ? Brushes::LayerDisable
                                                    : Brushes::LayerHeader));
    Edit::EditService* edit = Edit::EditService::instance();
    if (format_ != nullptr && edit != nullptr && edit->currentScene() == panel_.scene) {
        const std::wstring name = edit->getLayerName(layer);
        const DrawScope label(*this, 4, labelTop_, width, rowHeight, false);
        Resource::TextLayout layout;
        layout.create(*format_, name.c_str(), static_cast<int32_t>(name.size()));
        target->drawTextLayout({float(originX), float(originY)}, *layout.get(),
                               brushes.get(hidden ? Brushes::TextDisable : Brushes::Text));
    }
    if (locked) {
        const int32_t half = rowHeight / 2, quarter = rowHeight / 4;
        drawBitmap(panel_.windowService->bitmaps.get(Window::StyleBitmapList::Lock), width - half - 1, half - quarter,
                   width - 1, half + quarter, 1.0f);
    }
    drawRectangle(0, 0, width, rowHeight + 1, brushes.get(Brushes::Border), 2, nullptr);
}

void EditLayerHeaderControl::setHovered(int32_t layer) {
    if (layer == hoveredLayer) return;
    const int32_t old = hoveredLayer;
    hoveredLayer = layer;
    panel_.objectArea->hoveredHeaderLayer = layer;
    for (const int32_t changed : {old, layer}) {
        if (changed < 0) continue;
        paintHeader(changed);
        panel_.objectArea->paintRow(changed);
    }
}

// ---- the mouse

void EditLayerHeaderControl::procMouseMove(int32_t, int32_t y) {
    const int32_t local = y + visibleRect.y - fullRect.y;
    if (local < 0) return;
    setHovered(panel_.view.layerAt(local));
}

void EditLayerHeaderControl::procMouseLeave() { setHovered(-1); }

void EditLayerHeaderControl::procLButtonDown(int32_t, int32_t) {
    if (hoveredLayer < 0) return;
    dragging = true;
    if (Router* router = Router::get(); router != nullptr && router->captureTarget == this)
        router->beginDrag(fullRect.x - visibleRect.x, fullRect.y - visibleRect.y,
                          &Router::MouseCursor::SystemCursor32652);
    paintHeader(hoveredLayer);
}

void EditLayerHeaderControl::procMouseDrag(int32_t, int32_t y) {
    if (hoveredLayer < 0 || !panel_.scene) return;
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || edit->currentScene() != panel_.scene) return;
    const int32_t target = std::clamp(panel_.view.layerAt(std::max(0, y)), 0, std::max(0, panel_.view.layerRange - 1));
    if (target == hoveredLayer) return;
    Undo::UndoService* undo = Undo::UndoService::get();
    if (!moveRecordOpen && undo != nullptr) {
        undo->abandonRecord();
        undo->recording = true;
        // Read only: the slot exists once the column has been painted.
        if (const std::shared_ptr<Edit::Layer>& moved = panel_.scene->getLayer(hoveredLayer).layer)
            undo->addLayerUndoMove(moved);
        moveRecordOpen = true;
    }
    bool moved = false;
    {
        auto scope = edit->openSection();
        scope->layersChanged = true;
        scope->scene->reserveLayer(target);
        moved = scope->scene->moveLayer(hoveredLayer, target);
    }
    if (moved) {
        hoveredLayer = target;
        panel_.objectArea->hoveredHeaderLayer = target;
    }
    procPaint();
    panel_.refresh(-1);
}

void EditLayerHeaderControl::procLButtonUp(int32_t, int32_t) {
    Router* router = Router::get();
    if (hoveredLayer < 0 || (router != nullptr && router->dragStarted)) return;
    if (!ctrlHeld()) {
        toggleHide(hoveredLayer);
        return;
    }
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || !panel_.scene || edit->currentScene() != panel_.scene) return;
    const Edit::SceneLayer& slot = panel_.scene->getLayer(hoveredLayer);
    for (const auto& object : slot.objects)
        if (object->layer == hoveredLayer) edit->addSelectObject(object, false);
    if (panel_.scene->selection.objects.empty()) return;
    if (router != nullptr && router->keyHoldTarget == nullptr) router->holdKey(this, int32_t(W::kVkControl));
    if (Event::EventService* events = Event::EventService::get()) events->selectionListeners.call();
}

void EditLayerHeaderControl::procCaptureLost() {
    if (moveRecordOpen) {
        moveRecordOpen = false;
        if (Undo::UndoService* undo = Undo::UndoService::get()) undo->commitRecord();
        if (Event::EventService* events = Event::EventService::get()) {
            events->objectChangedListeners.call(nullptr);
            events->layerListeners.call();
        }
    }
    if (hoveredLayer >= 0) paintHeader(hoveredLayer);
}

void EditLayerHeaderControl::procKeyRelease() {
    if (Edit::EditService* edit = Edit::EditService::instance();
        edit != nullptr && edit->currentScene() == panel_.scene)
        edit->clickClearSelection(this);
}

void EditLayerHeaderControl::procRButtonDown(int32_t x, int32_t y) {
    const Window::MouseRect& area = panel_.objectArea->fullRect;
    panel_.objectArea->forwardRButtonDown(*this, x + visibleRect.x - area.x, y + visibleRect.y - area.y);
}

void EditLayerHeaderControl::procMouseWheel(int32_t, int32_t, int32_t delta) {
    const TimelineView& view = panel_.view;
    if (!panel_.scene) return;
    panel_.scrollTo(std::clamp(view.displayLayer + (delta <= 0 ? 1 : -1), 0,
                               std::max(0, view.layerRange - view.visibleRows)),
                    view.displayFrame, panel_.scene->cursorFrame);
}

void EditLayerHeaderControl::procContextMenu(int32_t, int32_t) {
    if (hoveredLayer < 0 || !panel_.scene) return;
    const int32_t index = hoveredLayer;
    const Edit::SceneLayer& slot = panel_.scene->getLayer(index);
    const bool locked = slot.layer && slot.layer->lock;
    const bool hidden = slot.layer && slot.layer->hide;
    Window::PopupMenu menu;
    auto check = [](const Window::BaseMenu::Item& item, bool on) {
        if (on) W::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    };
    check(menu.insertItem(L"レイヤーをロック", [this, index] { toggleLock(index); }), locked);
    check(menu.insertItem(L"レイヤーの表示", [this, index] { toggleHide(index); }), !hidden);
    menu.insertItem(L"レイヤー名を変更", [this, index] { renameLayer(index); });
    menu.insertItem(L"他のレイヤーを表示/非表示", [this, index] { soloLayer(index); });
    menu.insertSeparator();
    menu.insertItem(L"レイヤーを挿入", [this, index] { insertLayer(index); });
    menu.insertItem(L"レイヤーを削除", [this, index] { deleteLayer(index); });
    menu.insertSeparator();
    panel_.addClientMenu(menu);
    menu.show();
}

// ---- layer operations

void EditLayerHeaderControl::toggleHide(int32_t index) {
    if (index < 0 || !Edit::EditService::instance()) return;
    auto scope = openLayerScope(false);
    const std::shared_ptr<Edit::Layer> layer = layerOf(*scope->scene, index);
    addLayerUpdate(layer);
    layer->hide = !layer->hide;
}

void EditLayerHeaderControl::toggleLock(int32_t index) {
    if (index < 0 || !Edit::EditService::instance()) return;
    auto scope = openLayerScope(false);
    const std::shared_ptr<Edit::Layer> layer = layerOf(*scope->scene, index);
    addLayerUpdate(layer);
    layer->lock = !layer->lock;
}

void EditLayerHeaderControl::soloLayer(int32_t index) {
    if (index < 0 || !Edit::EditService::instance()) return;
    auto scope = openLayerScope(false);
    Edit::Scene& scene = *scope->scene;
    scene.reserveLayer(index);
    const bool allShown = std::none_of(scene.layers.begin(), scene.layers.end(),
                                       [](const auto& slot) { return slot->layer && slot->layer->hide; });
    for (int32_t i = 0; i < scene.layerCount(); ++i) {
        const std::shared_ptr<Edit::Layer> layer = scene.layers[size_t(i)]->layer;
        if (!layer) continue;
        const bool hide = allShown && i != index;
        if (layer->hide == hide) continue;
        addLayerUpdate(layer);
        layer->hide = hide;
    }
}

void EditLayerHeaderControl::renameLayer(int32_t index) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (index < 0 || edit == nullptr || !panel_.scene) return;
    const Edit::SceneLayer& slot = panel_.scene->getLayer(index);
    std::wstring name = slot.layer ? slot.layer->name : std::wstring();
    if (!Edit::EditService::dialogs().inputName(L"レイヤー名を変更", name)) return;
    auto scope = openLayerScope(false);
    const std::shared_ptr<Edit::Layer> layer = layerOf(*scope->scene, index);
    addLayerUpdate(layer);
    layer->setName(name);
}

void EditLayerHeaderControl::insertLayer(int32_t index) {
    if (index < 0 || !Edit::EditService::instance()) return;
    auto scope = openLayerScope(true);
    const std::shared_ptr<Edit::Layer> layer = scope->scene->insertLayer(index);
    if (Undo::UndoService* undo = Undo::UndoService::get(); undo != nullptr && layer) undo->addLayerUndoInsert(layer);
}

void EditLayerHeaderControl::deleteLayer(int32_t index) {
    if (index < 0 || !Edit::EditService::instance()) return;
    setHovered(-1);
    auto scope = openLayerScope(true);
    Edit::Scene& scene = *scope->scene;
    if (index >= scene.layerCount()) return;
    Edit::SceneLayer& slot = *scene.layers[size_t(index)];
    Undo::UndoService* undo = Undo::UndoService::get();
    for (const auto& object : slot.objects) {
        if (object->layer != index) continue;
        if (undo != nullptr) undo->addObjectUndoDelete(object);
        if (object->selected) {
            auto& selected = scene.selection.objects;
            selected.erase(std::remove(selected.begin(), selected.end(), object), selected.end());
            object->selected = false;
        }
        if (scene.focusObject == object) {
            scene.focusObject.reset();
            scope->focusChanged = true;
        }
    }
    if (undo != nullptr && slot.layer) undo->addLayerUndoDelete(slot.layer);
    scene.deleteLayer(index);
}

}  // namespace Component
