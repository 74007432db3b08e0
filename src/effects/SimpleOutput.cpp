#include "effects/SimpleOutput.h"

namespace Effect {

SimpleOutput::SimpleOutput() {
    name = L"基本出力";
    role = kOutput;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<EffectBase> SimpleOutput::createInstance() const { return std::make_shared<SimpleOutput>(); }

}  // namespace Effect
