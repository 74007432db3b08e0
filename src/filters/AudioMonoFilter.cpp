#include "filters/AudioMonoFilter.h"

#include "filters/AudioFilterContext.h"
#include "media/audio/AudioBuffer.h"

namespace Effect {

AudioMonoFilter::AudioMonoFilter() {
    role = kFilter;
    media = kAudio;
    placement = kAudio;
    menuGroup = L"音声効果";
}

std::shared_ptr<Media::AudioBuffer> AudioMonoFilter::filterAudio(Render::AudioRenderContext& context,
                                                                 std::shared_ptr<Media::AudioBuffer> audio) {
    if (!audio || audio->samples <= 0) return audio;
    Render::RenderContext items = itemContextOf(context);
    // The ratio weakens one side; at 0 the channels are summed, not averaged.
    const float q = static_cast<float>(ratio.getValue(items) * 0.01);
    const float a = q < 0 ? 1.0f + q : 1.0f;
    const float b = q > 0 ? 1.0f - q : 1.0f;
    float* left = audio->getChannel(0);
    float* right = audio->getChannel(1);  // the same plane in a mono block
    // The planes are padded to whole groups of eight, which the loop fills too.
    const int32_t groups = (audio->samples + 7) / 8;
    for (int32_t g = 0; g < groups; ++g)
        for (int32_t k = g * 8; k < g * 8 + 8; ++k) {
            const float m = a * left[k] + b * right[k];
            left[k] = m;
            right[k] = m;
        }
    return audio;
}

}  // namespace Effect
