#include "ui/panels/ObjectButtonControl.h"

#include <algorithm>
#include <cwchar>
#include <utility>

#include "edit/EditService.h"
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

}  // namespace

ObjectButtonControl::ObjectButtonControl(Control::ListItemControl& list, std::shared_ptr<Edit::Object> shown)
    : ButtonControl(list.rowContainer, 0, 0, 0, Window::ListItemHeight + 2), ListItemBase(list, *this) {
    setObject(std::move(shown));
}

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
    if (shown == object) return;
    object = std::move(shown);
    icon = object ? iconOf(*object) : Icons::Setting;
    invalidate();
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

void ObjectButtonControl::procPaint() {
    if (!canPaint() || !object) return;
    const ControlScope scope(*this);
    const int32_t w = fullRect.w, lh = Window::ListItemHeight;
    const Edit::EditService* edit = Edit::EditService::instance();
    const Edit::Scene* scene = edit != nullptr ? edit->currentScene().get() : nullptr;
    bool chosen = false;
    if (scene != nullptr) {
        const auto& selected = scene->selection.objects;
        chosen = selected.empty() ? scene->focusObject == object
                                  : std::find(selected.begin(), selected.end(), object) != selected.end();
    }
    const Brushes::Index body = chosen ? Brushes::ButtonBodySelect : hovered ? Brushes::ButtonBodyHover : Brushes::ButtonBody;
    fillRectangle(0, 0, w, lh, brush(body));
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

}  // namespace Component
