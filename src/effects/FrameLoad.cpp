#include "effects/FrameLoad.h"

namespace Effect {

FrameLoad::FrameLoad() {
    name = L"フレームバッファ";
    role = kInput;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<EffectBase> FrameLoad::createInstance() const { return std::make_shared<FrameLoad>(); }

}  // namespace Effect
