#include "edit/EffectCatalog.h"

#include <cwchar>

#include "effect/EffectBase.h"

namespace Edit {
namespace {
EffectCatalog* currentCatalog = nullptr;
}

EffectCatalog::~EffectCatalog() = default;

const Effect::EffectBase& EffectCatalog::loadDefaultParam(const Effect::EffectBase& definition) const {
    return definition;
}

bool EffectCatalog::isSameKind(const Effect::EffectBase& definition, const Effect::EffectBase& effect) const {
    return std::wcscmp(definition.name, effect.name) == 0;
}

EffectCatalog* EffectCatalog::current() { return currentCatalog; }

void EffectCatalog::setCurrent(EffectCatalog* catalog) { currentCatalog = catalog; }

}  // namespace Edit
