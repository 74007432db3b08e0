#include "effects/VideoOutput.h"

namespace Effect {

VideoOutput::VideoOutput() : BasicOutput(kName, kVideo) {}

std::shared_ptr<EffectBase> VideoOutput::createInstance() const { return std::make_shared<VideoOutput>(); }

}  // namespace Effect
