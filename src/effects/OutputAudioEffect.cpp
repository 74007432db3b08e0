#include "effects/OutputAudioEffect.h"

#include <algorithm>
#include <cmath>

#include "effect/AudioRenderContext.h"
#include "media/audio/AudioBuffer.h"

namespace Effect {

namespace {

// Only the source's own samples are added: the padding after them is never
// mixed, so whatever it holds cannot reach the mix.
void addScaled(float* destination, const float* source, int32_t count, float factor) {
    for (int32_t i = 0; i < count; ++i)
        destination[i] = std::fma(factor, source[i], destination[i]);
}

}  // namespace

void OutputAudioEffect::mixAudio(Media::AudioBuffer& destination, const Media::AudioBuffer& source, float leftFactor,
                                 float rightFactor) {
    const int32_t n = std::min(destination.samples, source.samples);
    if (n <= 0 || destination.channels <= 0 || source.channels <= 0)
        return;
    float* left = destination.getChannel(0);
    float* right = destination.getChannel(1);  // the same plane in a mono mix
    // A mono mix takes both sides of the source into its one plane, each with
    // its own factor; a mono source gives its one plane to both sides.
    addScaled(left, source.getChannel(0), n, leftFactor);
    addScaled(right, source.getChannel(1), n, rightFactor);
}

void OutputAudioEffect::mixAudio(Render::AudioRenderContext& context, Media::AudioBuffer& destination,
                                 const Media::AudioBuffer& source) {
    mixAudio(destination, source, context.leftGain, context.rightGain);
}

}  // namespace Effect
