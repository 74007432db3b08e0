#include "ui/settings/EffectItemBaseControl.h"

#include "core/Exception.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItem.h"
#include "ui/controls/ControlInput.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/settings/EffectSetting.h"
#include "ui/settings/SettingPanelState.h"

namespace Component {

namespace {

// Index of the first element the predicate holds for; -1 when none.
template <class T, class Predicate>
int32_t findIndexIf(const std::vector<std::shared_ptr<T>>& list, Predicate predicate) {
    for (size_t i = 0; i < list.size(); ++i)
        if (predicate(list[i])) return static_cast<int32_t>(i);
    return -1;
}

}  // namespace

EffectItemBaseControl::EffectItemBaseControl(Window::ControlContainer& parent, EffectSetting& owner,
                                             const std::shared_ptr<Effect::EffectBase>& edited, int32_t height)
    : WindowControlRenderTarget(parent, 0, 0, 0, height),
      labelWidth(Window::SettingItemHeaderWidth),
      marginWidth(Window::SettingItemMarginWidth),
      children(priority + 1, &visibleRect, &fullRect),
      frame(children, Window::SettingItemMarginWidth, 0, -Window::SettingItemMarginWidth, -2),
      block_(&owner),
      effect_(&edited) {}

EffectItemBaseControl::~EffectItemBaseControl() {
    // A gesture cut short (the block rebuilt under it) still ends its record.
    if (gesture_) endGesture();
}

Effect::EffectItem* EffectItemBaseControl::getEffectItem() { return nullptr; }

void EffectItemBaseControl::updateFile(const std::wstring&) {
    throw System::messageException("Component::EffectItemBaseControl::updateFile", "not implement.");
}

void EffectItemBaseControl::updateSection() {}

void EffectItemBaseControl::updateValue() {}

SettingPanelState& EffectItemBaseControl::panel() const { return *block_->panel; }

std::shared_ptr<Edit::Object> EffectItemBaseControl::object() const { return block_->panel->object; }

// ---- input and drawing

void EffectItemBaseControl::procMouseEnter() {
    if (clickAction) invalidate();
}

void EffectItemBaseControl::procMouseLeave() {
    if (clickAction) invalidate();
}

void EffectItemBaseControl::procLButtonDown(int32_t, int32_t) {
    if (!clickAction) return;
    Window::ControlInput::claimPress(*this);
    clickAction();
}

void EffectItemBaseControl::procMouseHover() {
    if (!hoverAction) return;
    int32_t x = 0, y = 0;
    if (const Window::WindowMouseService* router = Window::WindowMouseService::get();
        router != nullptr && router->lastMovePos != 0xFFFFFFFFu) {
        x = static_cast<int16_t>(router->lastMovePos & 0xFFFFu) - fullRect.x;
        y = static_cast<int16_t>(router->lastMovePos >> 16) - fullRect.y;
    }
    hoverAction(x, y);
}

void EffectItemBaseControl::procPaint() {
    if (!canPaint() || fullRect.w <= 0 || fullRect.h <= 0) return;
    const ControlScope scope(*this);
    if (clickAction && hovered) {
        if (block_->highlighted())
            fillRectangle(2, 0, fullRect.w - 2, fullRect.h, brush(Window::StyleBrushList::GroupingSelect));
        else
            fillRectangle(0, 0, fullRect.w, fullRect.h, brush(block_->backgroundBrush(true)));
    }
    for (size_t i = 0; i < children.children.size(); ++i) {
        Window::WindowControl* child = children.children[i];
        if (child->visible) child->procPaint();
    }
}

void EffectItemBaseControl::procMove() { children.updateChildLayout(); }

void EffectItemBaseControl::updateLayout() {
    WindowControl::updateLayout();
    const Window::MouseRect box = fullRect;
    const int32_t left = box.x + static_cast<int32_t>(static_cast<float>(box.w) * shareLeft);
    const int32_t right = box.x + static_cast<int32_t>(static_cast<float>(box.w) * shareRight);
    setRect(left, box.y, right, box.y + box.h);
}

// ---- several selected objects

std::vector<std::shared_ptr<Effect::EffectBase>> EffectItemBaseControl::getTwinEffects() const {
    std::vector<std::shared_ptr<Effect::EffectBase>> twins;
    const std::shared_ptr<Edit::Object> shown = object();
    const Edit::EditService* edit = Edit::EditService::instance();
    if (!shown || edit == nullptr || !edit->currentScene()) return twins;
    const Effect::EffectBase* mine = effect().get();
    const int32_t k = findIndexIf(shown->effects, [mine](const auto& e) { return e.get() == mine; });
    if (k < 0) return twins;
    for (const std::shared_ptr<Edit::Object>& other : edit->currentScene()->selection.objects) {
        if (other == shown || static_cast<int32_t>(other->effects.size()) <= k) continue;
        const std::shared_ptr<Effect::EffectBase>& twin = other->effects[static_cast<size_t>(k)];
        if (std::wstring_view(twin->name) == std::wstring_view(mine->name)) twins.push_back(twin);
    }
    return twins;
}

// ---- edits

void EffectItemBaseControl::pushEffectUndo(bool withTwins) {
    Undo::UndoService* undo = Undo::UndoService::get();
    if (undo == nullptr) return;
    undo->addEffectUndoUpdate(effect());
    if (withTwins)
        for (const auto& twin : getTwinEffects()) undo->addEffectUndoUpdate(twin);
}

void EffectItemBaseControl::notifyItemChanged(Edit::UpdateSection& scope) {
    Effect::EffectItem* item = getEffectItem();
    if (item == nullptr || item->notify == 0) return;
    Effect::ItemEvent event;
    event.kind = Effect::ItemEvent::kItemChanged;
    event.scope = &scope;
    event.object = object();
    event.effect = effect();
    event.item = item;
    (void)event.effect->itemEvent(event);
}

void EffectItemBaseControl::commitChange(const std::function<void(Edit::UpdateSection&)>& change, bool withTwins) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) return;
    // Keeps the block's effect alive should the change rebuild the panel.
    const std::shared_ptr<Effect::EffectBase> kept = effect();
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->objectChanged = true;
    scope->changedObject = object();
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->openRecord(*scope);
    pushEffectUndo(withTwins);
    change(*scope);
    notifyItemChanged(*scope);
}

void EffectItemBaseControl::beginGesture(bool withTwins) {
    Edit::EditService* edit = Edit::EditService::instance();
    Undo::UndoService* undo = Undo::UndoService::get();
    if (gesture_ || edit == nullptr || undo == nullptr) return;
    gesture_ = true;
    // The record stays open over the whole gesture; the steps' scopes do not own it.
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    undo->openRecord(*scope);
    scope->undoOpen = false;
    pushEffectUndo(withTwins);
}

void EffectItemBaseControl::applyStep(const std::function<void(Edit::UpdateSection&)>& change) {
    if (!gesture_) {
        commitChange(change);
        return;
    }
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) return;
    const std::shared_ptr<Effect::EffectBase> kept = effect();
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->objectChanged = true;
    scope->changedObject = object();
    change(*scope);
    notifyItemChanged(*scope);
}

void EffectItemBaseControl::endGesture() {
    if (!gesture_) return;
    gesture_ = false;
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->commitRecord();
}

}  // namespace Component
