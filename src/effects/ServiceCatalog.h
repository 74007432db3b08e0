#pragma once
#include "edit/EffectCatalog.h"

namespace Effect {

class EffectService;

// The effect service as the catalogue of the project model: a definition is
// represented by its registered prototype. It is the model's catalogue for
// its lifetime and puts the previous one back when it goes.
class ServiceCatalog : public Edit::EffectCatalog {
public:
    explicit ServiceCatalog(EffectService& service);
    ~ServiceCatalog() override;
    ServiceCatalog(const ServiceCatalog&) = delete;
    ServiceCatalog& operator=(const ServiceCatalog&) = delete;

    const EffectBase& findEffect(const std::wstring& name) const override;
    const EffectBase& getOutputEffect(const EffectBase& input) const override;
    const EffectBase* getPairedInputEffect(const EffectBase& output) const override;
    const EffectBase& loadDefaultParam(const EffectBase& definition) const override;

private:
    EffectService& service_;
    Edit::EffectCatalog* previous_;
};

}  // namespace Effect
