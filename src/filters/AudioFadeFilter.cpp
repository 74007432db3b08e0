#include "filters/AudioFadeFilter.h"

namespace Effect {

AudioFadeFilter::AudioFadeFilter() {
    name = L"音量フェード";
    role = kFilter;
    media = kAudio;
    placement = kAudio;
    menuGroup = L"音声効果";
}

std::shared_ptr<EffectBase> AudioFadeFilter::createInstance() const { return std::make_shared<AudioFadeFilter>(); }

std::shared_ptr<Media::AudioBuffer> AudioFadeFilter::filterAudio(Render::AudioRenderContext&,
                                                                 std::shared_ptr<Media::AudioBuffer> audio) {
    return pending_.skip(std::move(audio), "Effect::AudioFadeFilter::filterAudio");
}

}  // namespace Effect
