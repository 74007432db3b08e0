#include "effects/VideoOutput.h"

namespace Effect {

VideoOutput::VideoOutput() : EffectClass(kName, kVideo) {}

}  // namespace Effect
