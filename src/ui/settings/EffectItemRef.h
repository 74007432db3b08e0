#pragma once
#include <memory>
#include <string>

namespace Edit {
class Object;
}
namespace Effect {
class EffectBase;
class EffectItem;
}  // namespace Effect

// What a setting panel is bound to: an object, the effect of it that holds
// the item, and the item (kept alive by the effect). Empty: no item.
namespace Component {

struct EffectItemRef {
    std::shared_ptr<Edit::Object> object;
    std::shared_ptr<Effect::EffectBase> effect;
    Effect::EffectItem* item = nullptr;

    bool empty() const { return item == nullptr; }
    void clear() {
        object.reset();
        effect.reset();
        item = nullptr;
    }
    // "effect [item]", names translated; an item of the object's output
    // effect is named after the object's first effect.
    std::wstring getLabel() const;
};

}  // namespace Component
