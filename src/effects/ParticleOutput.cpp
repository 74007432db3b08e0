#include "effects/ParticleOutput.h"

#include "effect/EffectService.h"

namespace Effect {

ParticleOutput::ParticleOutput() {
    name = L"パーティクル出力";
    role = kOutput;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<EffectBase> ParticleOutput::createInstance() const { return std::make_shared<ParticleOutput>(); }

// None while "図形" is not registered (its registration failed): the object
// menu then leaves the particle output out instead of failing as a whole.
const EffectDefine* ParticleOutput::getPairedInputEffect() const {
    const EffectService* service = EffectService::get();
    if (!service) return nullptr;
    const auto found = service->effects().find(L"図形");
    return found == service->effects().end() ? nullptr : found->second.get();
}

}  // namespace Effect
