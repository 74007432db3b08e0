#pragma once
#include <memory>

#include "ui/settings/EffectItemBaseControl.h"

// The row base with its typed item: every row control of an item class T
// derives from EffectItemControl<T> and reads and writes `item`.
namespace Component {

template <class T>
class EffectItemControl : public EffectItemBaseControl {
public:
    EffectItemControl(Window::ControlContainer& parent, EffectSetting& block,
                      const std::shared_ptr<Effect::EffectBase>& effect, T& edited, int32_t height)
        : EffectItemBaseControl(parent, block, effect, height), item(&edited) {}

    Effect::EffectItem* getEffectItem() override { return item; }

    T* item;
};

}  // namespace Component
