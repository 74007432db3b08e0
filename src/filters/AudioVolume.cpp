#include "filters/AudioVolume.h"

#include "filters/AudioFilterContext.h"

namespace Effect {

AudioVolume::AudioVolume() {
    role = kFilter;
    media = kAudio;
    placement = kAudio;
    menuGroup = L"音声効果";
}

std::shared_ptr<Media::AudioBuffer> AudioVolume::filterAudio(Render::AudioRenderContext& context,
                                                             std::shared_ptr<Media::AudioBuffer> audio) {
    Render::RenderContext items = itemContextOf(context);
    const float v = static_cast<float>(volume.getValue(items) * 0.01);
    context.leftGain *= v;
    context.rightGain *= v;
    // The balance lowers the far side only.
    const float p = static_cast<float>(pan.getValue(items) * 0.01);
    if (p > 0)
        context.leftGain *= 1.0f - p;
    else if (p < 0)
        context.rightGain *= 1.0f + p;
    return audio;
}

}  // namespace Effect
