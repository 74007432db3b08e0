#include "effects/AudioOutput.h"

#include "effect/AudioRenderContext.h"
#include "effects/AudioItemValue.h"

namespace Effect {

AudioOutput::AudioOutput() {
    role = kOutput;
    media = kAudio;
    placement = kAudio;
}

void AudioOutput::outputAudio(Render::AudioRenderContext& context, Media::AudioBuffer& target,
                              std::shared_ptr<Media::AudioBuffer> audio) {
    AudioItemValue values(context);
    const auto v = static_cast<float>(values.get(volume) / 100);
    context.leftGain *= v;
    context.rightGain *= v;
    const auto b = static_cast<float>(values.get(pan) / 100);
    if (b > 0)
        context.leftGain *= 1 - b;
    else if (b < 0)
        context.rightGain *= 1 + b;
    if (audio) mixAudio(context, target, *audio);
}

}  // namespace Effect
