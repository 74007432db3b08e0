#include "effects/BasicOutput.h"

#include "effects/ShaderResource.h"

namespace Effect {

BasicOutput::BasicOutput(const wchar_t* effectName, uint8_t effectMedia) {
    name = effectName;
    role = kOutput;
    media = effectMedia;
    placement = effectMedia;
}

void BasicOutput::createCommonResource() { resource = ShaderResource::create(0, 160); }

void BasicOutput::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const BasicOutput&>(prototype).resource;
}

}  // namespace Effect
