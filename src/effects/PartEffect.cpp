#include "effects/PartEffect.h"

#include "core/Exception.h"
#include "effects/ShaderResource.h"

namespace Effect {

PartEffect::PartEffect() {
    name = L"部分フィルタ";
    role = kControl;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<EffectBase> PartEffect::createInstance() const { return std::make_shared<PartEffect>(); }

void PartEffect::createCommonResource() { resource = ShaderResource::create(1, 32); }

void PartEffect::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const PartEffect&>(prototype).resource;
}

void PartEffect::controlVideo(Render::RenderContext&) {
    throw System::notImplementException("Effect::PartEffect::controlVideo");
}

}  // namespace Effect
