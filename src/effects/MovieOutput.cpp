#include "effects/MovieOutput.h"

namespace Effect {

MovieOutput::MovieOutput() : BasicOutput(kName, kVideoAudio) {}

std::shared_ptr<EffectBase> MovieOutput::createInstance() const { return std::make_shared<MovieOutput>(); }

}  // namespace Effect
