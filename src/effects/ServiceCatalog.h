#pragma once
#include "edit/EffectCatalog.h"

namespace Effect {

class EffectService;

// The effect service as the catalogue of the project model: a definition is
// represented by its registered prototype.
class ServiceCatalog : public Edit::EffectCatalog {
public:
    explicit ServiceCatalog(EffectService& service) : service_(service) {}

    const EffectBase& findEffect(const std::wstring& name) const override;
    const EffectBase& getOutputEffect(const EffectBase& input) const override;
    const EffectBase* getPairedInputEffect(const EffectBase& output) const override;
    const EffectBase& loadDefaultParam(const EffectBase& definition) const override;

private:
    EffectService& service_;
};

}  // namespace Effect
