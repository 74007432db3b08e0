#include "effect/EffectItemGroup.h"

#include <algorithm>

#include "effect/EffectItemNumber.h"

namespace Effect {

EffectItemGroup::EffectItemGroup(std::vector<EffectItemNumber*> list) : members(std::move(list)) {
    for (EffectItemNumber* m : members) m->group = this;
}

bool EffectItemGroup::isEditableAt(const Render::RenderContext& context) const {
    size_t count = 0;
    for (const EffectItemNumber* m : members) count = std::max(count, m->values.size());
    return EffectItemNumber::isEditableAt(context, count);
}

int32_t EffectItemGroup::indexOf(const EffectItemNumber* item) const {
    auto it = std::find(members.begin(), members.end(), item);
    return it == members.end() ? -1 : static_cast<int32_t>(it - members.begin());
}

}  // namespace Effect
