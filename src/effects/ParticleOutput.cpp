#include "effects/ParticleOutput.h"

#include "effect/EffectService.h"

namespace Effect {

ParticleOutput::ParticleOutput() {
    role = kOutput;
    media = kVideo;
    placement = kVideo;
}

// None while "図形" is not registered (its registration failed): the object
// menu then leaves the particle output out instead of failing as a whole.
const EffectDefine* ParticleOutput::getPairedInputEffect() const {
    const EffectService* service = EffectService::get();
    if (!service) return nullptr;
    const auto found = service->effects().find(L"図形");
    return found == service->effects().end() ? nullptr : found->second.get();
}

}  // namespace Effect
