#include "ui/panels/SceneButtonControl.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "edit/EditService.h"
#include "edit/Scene.h"
#include "platform/draw2d/RenderTarget.h"
#include "ui/controls/ControlInput.h"
#include "ui/controls/ControlText.h"
#include "ui/controls/ListItemControl.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/panels/ModelMenu.h"
#include "ui/panels/SceneListComponent.h"

namespace Component {

using Brushes = Window::StyleBrushList;
using Cursor = Window::WindowMouseService::MouseCursor;

SceneButtonControl::SceneButtonControl(Control::ListItemControl& list, SceneListComponent& panel,
                                       std::shared_ptr<Edit::Scene> shown)
    : ButtonControl(list.rowContainer, 0, 0, 0, Window::ListItemHeight + 2),
      ListItemBase(list, *this),
      scene(std::move(shown)),
      panel_(panel) {
    acceptContextMenu = true;
}

int32_t SceneButtonControl::order() const { return scene->displayOrder; }

void SceneButtonControl::setOrder(int32_t value) { scene->displayOrder = value; }

bool SceneButtonControl::isMovable() const { return scene->id != 0; }

void SceneButtonControl::procLButtonDown(int32_t x, int32_t y) {
    pressed = true;
    pressTop_ = fullRect.y;
    Window::ControlInput::claimPress(*this);
    if (service != nullptr) service->beginDrag(x, y, isMovable() ? &Cursor::SystemCursor32652 : &Cursor::No);
    invalidate();
}

void SceneButtonControl::procLButtonUp(int32_t, int32_t) {
    pressed = false;
    invalidate();
    if (service != nullptr && service->dragStarted) return;
    if (Edit::EditService* edit = Edit::EditService::instance()) edit->updateScene(scene->id);
}

void SceneButtonControl::procMouseDrag(int32_t, int32_t dy) {
    if (!pressed || !isMovable()) return;
    Control::ListItemControl& rows = *list;
    const int32_t i = rows.findItem(this);
    const auto n = static_cast<int32_t>(rows.items.size());
    if (i < 0 || n <= 1) return;
    // How far the row has been dragged from the slot it now has.
    const int32_t d = pressTop_ + dy - fullRect.y;
    const int32_t h = fullRect.h;
    if (d < 0) {
        if (i == 0) return;
        ListItemBase& previous = *rows.items[static_cast<size_t>(i - 1)];
        const int32_t p = previous.control->fullRect.h;
        if (d < std::min((h - p) / 2, 0) - 4) swapOrder(previous);
    } else {
        if (i == n - 1) return;
        ListItemBase& next = *rows.items[static_cast<size_t>(i + 1)];
        const int32_t m = next.control->fullRect.h;
        if (d > std::min(m, (h + m) / 2) + 4) swapOrder(next);
    }
}

void SceneButtonControl::procCaptureLost() {
    pressed = false;
    ButtonControl::procCaptureLost();
}

void SceneButtonControl::procMouseHover() { scene->showInfoToolTip(); }

void SceneButtonControl::procContextMenu(int32_t, int32_t) {
    Edit::EditService* edit = Edit::EditService::instance();
    Window::PopupMenu menu;
    if (edit != nullptr) {
        ModelMenu model(menu);
        scene->insertSceneMenu(model, *edit);
        menu.insertSeparator();
    }
    panel_.addClientMenu(menu);
    menuOpen = true;
    invalidate();
    menu.show([this] {
        if (!menuOpen) return;
        menuOpen = false;
        invalidate();
    });
}

void SceneButtonControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const int32_t w = fullRect.w, lh = Window::ListItemHeight;
    const Edit::EditService* edit = Edit::EditService::instance();
    const bool current = edit != nullptr && edit->currentScene() == scene;
    Brushes::Index body = Brushes::ButtonBody;
    if (current)
        body = Brushes::ButtonBodySelect;
    else if (menuOpen)
        body = Brushes::ButtonBodyPress;
    else if (!enabled)
        body = Brushes::ButtonBodyDisable;
    else if (service != nullptr && service->isDragging(this))
        body = Brushes::ButtonBodyPress;
    else if (hovered)
        body = Brushes::ButtonBodyHover;
    fillRectangle(0, 0, w, lh, brush(body));
    if (Window::WindowService* windows = Window::WindowService::get())
        drawBitmap(windows->bitmaps.get(Window::StyleBitmapList::Movie), 3, 3, lh - 3, lh - 3, 1.0f);
    Window::ControlText laid;
    if (laid.layOut(scene->name)) {
        laid.trimTo(static_cast<float>(w - lh));
        const int32_t y = (lh - laid.height) / 2;
        target->drawTextLayout({float(originX + lh), float(originY + y)}, *laid.layout.get(),
                               brush(enabled ? Brushes::Text : Brushes::TextDisable));
    }
    fillRectangle(0, lh, w, fullRect.h, brush(Brushes::Grouping));
}

}  // namespace Component
