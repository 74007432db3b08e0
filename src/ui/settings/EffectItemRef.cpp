#include "ui/settings/EffectItemRef.h"

#include "core/TranslateService.h"
#include "edit/Object.h"
#include "effect/EffectBase.h"
#include "effect/EffectItem.h"

namespace Component {

std::wstring EffectItemRef::getLabel() const {
    if (item == nullptr || !effect) return {};
    const Effect::EffectBase* named = effect.get();
    if (effect->role == Effect::EffectBase::kOutput && object && !object->effects.empty())
        named = object->effects.front().get();
    return named->getDisplayName() + L" [" +
           std::wstring(Translate::translated(Translate::TranslateService::Table::Effect, item->name.c_str())) + L"]";
}

}  // namespace Component
