#include "effects/ServiceCatalog.h"

#include "effect/EffectBase.h"
#include "effect/EffectService.h"

namespace Effect {

ServiceCatalog::ServiceCatalog(EffectService& service) : service_(service), previous_(current()) { setCurrent(this); }

ServiceCatalog::~ServiceCatalog() { setCurrent(previous_); }

const EffectBase& ServiceCatalog::findEffect(const std::wstring& name) const {
    return *service_.findEffect(name).prototype();
}

const EffectBase& ServiceCatalog::getOutputEffect(const EffectBase& input) const {
    return *service_.getOutputEffect(service_.findEffect(input.name)).prototype();
}

const EffectBase* ServiceCatalog::getPairedInputEffect(const EffectBase& output) const {
    const EffectDefine* input = output.getPairedInputEffect();
    return input ? input->prototype().get() : nullptr;
}

const EffectBase& ServiceCatalog::loadDefaultParam(const EffectBase& definition) const {
    return service_.findEffect(definition.name).loadDefaultParam();
}

}  // namespace Effect
