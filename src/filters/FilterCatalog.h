#pragma once
#include "effects/BuiltinCatalog.h"

namespace Effect {

// The whole built-in catalogue: the sources, outputs and controls of
// BuiltinCatalog with every built-in filter at its place in the table.
class FilterCatalog : public BuiltinCatalog {
protected:
    void registerImageFilters(EffectService& service) override;
    void registerAnimationFilters(EffectService& service) override;
    void registerTrailingFilters(EffectService& service) override;
};

}  // namespace Effect
