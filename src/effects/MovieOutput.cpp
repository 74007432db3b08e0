#include "effects/MovieOutput.h"

#include "effect/AudioRenderContext.h"
#include "effects/AudioItemValue.h"

namespace Effect {

MovieOutput::MovieOutput() : EffectClass(kName, kVideoAudio) {}

void MovieOutput::outputAudio(Render::AudioRenderContext& context, Media::AudioBuffer& target,
                              std::shared_ptr<Media::AudioBuffer> audio) {
    const auto v = static_cast<float>(AudioItemValue(context).get(volume) / 100);
    context.leftGain *= v;
    context.rightGain *= v;
    if (audio) mixAudio(context, target, *audio);
}

}  // namespace Effect
