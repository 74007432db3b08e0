#include "effects/MovieOutput.h"

#include "effect/AudioRenderContext.h"
#include "effects/AudioItemValue.h"

namespace Effect {

MovieOutput::MovieOutput() : BasicOutput(kName, kVideoAudio) {}

std::shared_ptr<EffectBase> MovieOutput::createInstance() const { return std::make_shared<MovieOutput>(); }

void MovieOutput::outputAudio(Render::AudioRenderContext& context, Media::AudioBuffer& target,
                              std::shared_ptr<Media::AudioBuffer> audio) {
    const auto v = static_cast<float>(AudioItemValue(context).get(volume) / 100);
    context.leftGain *= v;
    context.rightGain *= v;
    if (audio)
        mixAudio(context, target, *audio);
}

}  // namespace Effect
