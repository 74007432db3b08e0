#include "effects/BeforeObjectLoad.h"

namespace Effect {

BeforeObjectLoad::BeforeObjectLoad() {
    name = L"直前オブジェクト";
    role = kInput;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<EffectBase> BeforeObjectLoad::createInstance() const { return std::make_shared<BeforeObjectLoad>(); }

}  // namespace Effect
