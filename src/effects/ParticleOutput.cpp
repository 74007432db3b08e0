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

const EffectDefine* ParticleOutput::getPairedInputEffect() const {
    const EffectService* service = EffectService::get();
    return service ? &service->findEffect(L"図形") : nullptr;
}

}  // namespace Effect
