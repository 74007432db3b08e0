#pragma once
#include <string>

namespace Effect {
class EffectBase;
}

namespace Edit {

// What the effect chain needs of the registered effects. A definition is
// represented by its prototype effect (role, media and items as registered).
// The effect service provides the catalogue the model uses; tests install
// their own.
class EffectCatalog {
public:
    virtual ~EffectCatalog();
    // "not found effect." when no definition has the name.
    virtual const Effect::EffectBase& findEffect(const std::wstring& name) const = 0;
    // The output that goes with an input; "invalid input effect type." when there is none.
    virtual const Effect::EffectBase& getOutputEffect(const Effect::EffectBase& input) const = 0;
    // The input an output requires, or none.
    virtual const Effect::EffectBase* getPairedInputEffect(const Effect::EffectBase& output) const = 0;
    // The prototype with its default parameters loaded.
    virtual const Effect::EffectBase& loadDefaultParam(const Effect::EffectBase& definition) const;
    // Whether the effect is an instance of the definition.
    virtual bool isSameKind(const Effect::EffectBase& definition, const Effect::EffectBase& effect) const;

    // The catalogue new objects use; none until one is installed.
    static EffectCatalog* current();
    static void setCurrent(EffectCatalog* catalog);
};

}  // namespace Edit
