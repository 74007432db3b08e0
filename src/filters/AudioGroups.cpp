#include "filters/AudioGroups.h"

#include "media/audio/AudioBuffer.h"

namespace Effect {
namespace {

void rampPlane(AudioGroups::Float8* plane, int32_t groups, float start, float step) {
    AudioGroups::Float8 gain = {start,           start + step,     start + 2 * step, start + 3 * step,
                                start + 4 * step, start + 5 * step, start + 6 * step, start + 7 * step};
    const float stride = 8 * step;
    for (int32_t i = 0; i < groups; ++i) {
        plane[i] *= gain;
        gain += stride;
    }
}

}  // namespace

AudioGroups::AudioGroups(const Media::AudioBuffer& audio)
    : left(audio.getChannel(0)), right(audio.getChannel(1)), groups((audio.samples + kGroup - 1) / kGroup) {
    if (!left || !right)
        groups = 0;
}

void AudioGroups::ramp(float start, float step) const {
    rampPlane(leftGroups(), groups, start, step);
    if (!mono())
        rampPlane(rightGroups(), groups, start, step);
}

}  // namespace Effect
