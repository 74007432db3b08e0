#pragma once
#include "effect/EffectService.h"

namespace Effect {

// The built-in sources, outputs and controls in their registration order,
// with the places where the built-in filters join the table: the image
// filters ("色調補正" to "ワイプ") before the scene change, "振動" after it
// (the end of the leading run; the script effects come between the two
// runs), and "スクリプト制御" to "音量調整" in the trailing run. Here the
// places stay empty; the whole catalogue fills them.
class BuiltinCatalog : public EffectService::Catalog {
public:
    void registerLeading(EffectService& service) override;
    void registerTrailing(EffectService& service) override;

protected:
    virtual void registerImageFilters(EffectService&) {}
    virtual void registerAnimationFilters(EffectService&) {}
    virtual void registerTrailingFilters(EffectService&) {}
};

}  // namespace Effect
