#pragma once
#include "effect/EffectService.h"

namespace Effect {

// The built-in effect classes in their registration order: the sources,
// outputs and controls, the filters, the scene change and the camera, basic
// and audio effects. The leading run ends with "振動"; the script effects
// come between the two runs.
class BuiltinCatalog : public EffectService::Catalog {
public:
    void registerLeading(EffectService& service) override;
    void registerTrailing(EffectService& service) override;
};

}  // namespace Effect
