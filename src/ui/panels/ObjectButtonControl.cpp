#include "ui/panels/ObjectButtonControl.h"

#include <algorithm>
#include <cwchar>
#include <utility>

#include "edit/EditService.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/KeyMap.h"
#include "ui/controls/ControlInput.h"
#include "ui/controls/ControlText.h"
#include "ui/controls/ListItemControl.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/panels/ObjectListComponent.h"

namespace Component {

using Brushes = Window::StyleBrushList;
using Icons = Window::StyleBitmapList;

namespace {

bool ctrlHeld() { return Platform::window::getKeyState(Platform::window::kVkControl) < 0; }

bool named(const Effect::EffectBase& effect, const wchar_t* name) { return std::wcscmp(effect.name, name) == 0; }

// Makes the object the focus object of the current scene.
void focus(const std::shared_ptr<Edit::Object>& object) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || !edit->currentScene() || edit->currentScene()->focusObject == object) return;
    auto scope = edit->openSection();
    scope->scene->focusObject = object;
    scope->focusChanged = true;
}

bool audioOnly(const Edit::Object& object) {
    return !object.effects.empty() && object.effects.front()->media == Effect::EffectBase::kAudio;
}

bool filterOnTop(const Edit::Object& object) {
    return !object.effects.empty() && object.effects.front()->role == Effect::EffectBase::kFilter;
}

// The row's body: the chosen object's look, else the hover look.
Brushes::Index bodyOf(const ObjectButtonControl& row) {
    const Edit::EditService* edit = Edit::EditService::instance();
    const Edit::Scene* scene = edit != nullptr ? edit->currentScene().get() : nullptr;
    bool chosen = false;
    if (scene != nullptr && row.object) {
        const auto& selected = scene->selection.objects;
        chosen = selected.empty() ? scene->focusObject == row.object
                                  : std::find(selected.begin(), selected.end(), row.object) != selected.end();
    }
    return chosen ? Brushes::ButtonBodySelect : row.hovered ? Brushes::ButtonBodyHover : Brushes::ButtonBody;
}

}  // namespace

ObjectButtonControl::ObjectButtonControl(Control::ListItemControl& list, ObjectListComponent& panel,
                                         std::shared_ptr<Edit::Object> shown)
    : ButtonControl(list.rowContainer, 0, 0, 0, Window::ListItemHeight + 2),
      ListItemBase(list, *this),
      buttons(priority + 1, &visibleRect, &fullRect),
      strip(buttons, -(2 * Window::ListItemHeight - 6), 3, 0, Window::ListItemHeight - 6),
      lockButton(strip, 0, 0, Window::ListItemHeight - 6, 0, Icons::Lock, Icons::Unlock),
      enableButton(strip, Window::ListItemHeight - 3, 0, Window::ListItemHeight - 6, 0),
      panel_(panel) {
    acceptContextMenu = true;
    // Whether the lock shows and what the enable button says are the first object's.
    lockButton.visible = !(shown && audioOnly(*shown));
    lockButton.toolTipText = L"プレビュー編集の操作をロック";
    enableButton.toolTipText = shown && filterOnTop(*shown) ? L"フィルタ効果の有効・無効" : L"オブジェクトの表示・非表示";
    lockButton.checkBrushProvider = enableButton.checkBrushProvider = [this] { return bodyOf(*this); };
    lockButton.setCheckAction([this](Control::CheckButtonControl& button) {
        if (object) Edit::EditCommand::setLockObjectOrSelection(object, button.checkState);
    });
    enableButton.setCheckAction([this](Control::CheckButtonControl& button) {
        if (object) Edit::EditCommand::setEnableObjectOrSelection(object, button.checkState);
    });
    setObject(std::move(shown));
    buttons.updateChildLayout();
}

ObjectButtonControl::~ObjectButtonControl() = default;

Icons::Index ObjectButtonControl::iconOf(const Edit::Object& object) {
    if (object.effects.empty()) return Icons::Setting;
    const Effect::EffectBase& top = *object.effects.front();
    switch (top.role) {
    case Effect::EffectBase::kInput:
        if (object.clipping) return Icons::Clip;
        if (named(top, L"動画ファイル") || named(top, L"シーン")) return Icons::Movie;
        if (named(top, L"テキスト")) return Icons::TextTool;
        return top.media == Effect::EffectBase::kAudio ? Icons::Volume : Icons::Picture;
    case Effect::EffectBase::kControl:
        if (named(top, L"カメラ制御")) return Icons::Camera;
        if (named(top, L"グループ制御") || named(top, L"グループ制御(音声)")) return Icons::Link;
        return Icons::Setting;
    case Effect::EffectBase::kFilter: return top.media == Effect::EffectBase::kVideo ? Icons::Effect : Icons::Setting;
    default: return Icons::Setting;
    }
}

void ObjectButtonControl::setObject(std::shared_ptr<Edit::Object> shown) {
    if (shown != object) {
        object = std::move(shown);
        icon = object ? iconOf(*object) : Icons::Setting;
        invalidate();
    }
    if (!object || object->effects.empty()) return;
    const Effect::EffectBase& top = *object->effects.front();
    lockButton.setCheckState(top.locked != 0);
    enableButton.setCheckState(top.disabled == 0);
}

void ObjectButtonControl::procLButtonDown(int32_t, int32_t) {
    Window::ControlInput::claimPress(*this);
    invalidate();
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || !object) return;
    // Adds to the selection; the row holds Ctrl so that letting it go
    // decides whether the selection stays.
    auto select = [&](const std::shared_ptr<Edit::Object>& chosen) {
        if (edit->addSelectObject(chosen, true) && service != nullptr && service->keyHoldTarget == nullptr)
            service->holdKey(this, static_cast<int32_t>(Platform::window::kVkControl));
    };
    if (!ctrlHeld()) {
        focus(object);
    } else if (const std::shared_ptr<Edit::Scene>& scene = edit->currentScene();
               scene && scene->selection.objects.empty() && scene->focusObject) {
        select(scene->focusObject);
    }
    if (ctrlHeld()) select(object);
}

void ObjectButtonControl::procKeyRelease() {
    if (Edit::EditService* edit = Edit::EditService::instance()) edit->clickClearSelection(this);
}

void ObjectButtonControl::procCaptureLost() {
    ButtonControl::procCaptureLost();
    if (Edit::EditService* edit = Edit::EditService::instance()) edit->clickClearSelection(this);
}

void ObjectButtonControl::procMouseHover() {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || !object || object->effects.empty()) return;
    const std::wstring text = edit->getLayerName(object->layer) + L" : " + object->effects.front()->getDisplayName();
    Window::ToolTips::showAtCursor(text.c_str());
}

void ObjectButtonControl::procContextMenu(int32_t x, int32_t y) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit != nullptr && object) {
        // Without Ctrl the row's object is selected for the menu only: the
        // key hold clears it again when the menu closes.
        const std::shared_ptr<Edit::Scene>& scene = edit->currentScene();
        if ((!ctrlHeld() || (scene && scene->selection.objects.empty())) && edit->addSelectObject(object, true) &&
            service != nullptr && service->keyHoldTarget == nullptr)
            service->holdKey(this, static_cast<int32_t>(Platform::window::kVkControl));
    }
    panel_.procContextMenu(x, y);
}

void ObjectButtonControl::procMove() { buttons.updateChildLayout(); }

void ObjectButtonControl::procPaint() {
    if (!canPaint() || !object) return;
    {
    const ControlScope scope(*this);
    const int32_t w = fullRect.w, lh = Window::ListItemHeight;
    fillRectangle(0, 0, w, lh, brush(bodyOf(*this)));
    if (Window::WindowService* windows = Window::WindowService::get())
        drawBitmap(windows->bitmaps.get(icon), 3, 3, lh - 3, lh - 3, 1.0f);
    Window::ControlText laid;
    if (!object->effects.empty() && laid.layOut(object->effects.front()->getDisplayName())) {
        laid.trimTo(static_cast<float>(w - 3 * lh + 6));
        const int32_t y = (lh - laid.height) / 2;
        target->drawTextLayout({float(originX + lh), float(originY + y)}, *laid.layout.get(),
                               brush(enabled ? Brushes::Text : Brushes::TextDisable));
    }
    fillRectangle(0, lh, w, fullRect.h, brush(Brushes::Grouping));
    }
    for (Window::WindowControl* child : buttons.children) child->procPaint();
}

}  // namespace Component
