#include "filters/AudioMonoFilter.h"

namespace Effect {

AudioMonoFilter::AudioMonoFilter() {
    name = L"モノラル化";
    role = kFilter;
    media = kAudio;
    placement = kAudio;
    menuGroup = L"音声効果";
}

std::shared_ptr<EffectBase> AudioMonoFilter::createInstance() const { return std::make_shared<AudioMonoFilter>(); }

std::shared_ptr<Media::AudioBuffer> AudioMonoFilter::filterAudio(Render::AudioRenderContext&,
                                                                 std::shared_ptr<Media::AudioBuffer> audio) {
    return pending_.skip(std::move(audio), "Effect::AudioMonoFilter::filterAudio");
}

}  // namespace Effect
