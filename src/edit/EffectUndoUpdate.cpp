#include "edit/EffectUndoUpdate.h"

#include "core/Exception.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItem.h"
#include "effect/EffectItemText.h"

namespace Effect {

EffectUndoUpdate::EffectUndoUpdate() = default;
EffectUndoUpdate::EffectUndoUpdate(EffectUndoUpdate&&) noexcept = default;
EffectUndoUpdate& EffectUndoUpdate::operator=(EffectUndoUpdate&&) noexcept = default;
EffectUndoUpdate::~EffectUndoUpdate() = default;

void EffectUndoUpdate::capture(const EffectBase& effect, EffectUndoUpdate& s) {
    s.items.clear();
    for (const EffectItem* item : effect.items) s.items.push_back(item->clone());
    s.disabled = effect.disabled;
    s.locked = effect.locked;
}

bool EffectUndoUpdate::commit(const EffectBase&, EffectUndoUpdate& before, EffectUndoUpdate& after) {
    if (before.items.size() != after.items.size())
        throw System::messageException("Effect::EffectUndoUpdate::commit", "different number of items.");
    bool changed = false;
    for (size_t i = 0; i < before.items.size(); ++i) {
        auto& b = before.items[i];
        auto& a = after.items[i];
        if (!b || !a) continue;
        if (b->equals(*a)) {
            b.reset();
            a.reset();
            continue;
        }
        changed = true;
        if (b->type == EffectItem::kText)
            if (auto* bt = dynamic_cast<EffectItemText*>(b.get()))
                if (auto* at = dynamic_cast<EffectItemText*>(a.get())) bt->diffFrom(*at);
    }
    return changed || before.disabled != after.disabled || before.locked != after.locked;
}

void EffectUndoUpdate::restore(EffectBase& effect, const EffectUndoUpdate& s, Edit::UpdateSection& scope) {
    if (effect.items.size() != s.items.size())
        throw System::messageException("Effect::EffectUndoUpdate::restore", "different number of items.");
    for (size_t i = 0; i < s.items.size(); ++i)
        if (s.items[i]) effect.items[i]->copyFrom(*s.items[i]);
    effect.disabled = s.disabled;
    effect.locked = s.locked;
    scope.effectsChanged = scope.timeSettingChanged = scope.colorSettingChanged = scope.textSettingChanged = true;
}

bool EffectUndoUpdate::hasOnlyEffectItem(const EffectBase& effect, const EffectItem& item) const {
    if (effect.items.size() != items.size())
        throw System::messageException("Effect::EffectUndoUpdate::hasOnlyEffectItem", "different number of items.");
    bool any = false;
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i]) continue;
        if (effect.items[i] != &item) return false;
        any = true;
    }
    return any;
}

}  // namespace Effect
