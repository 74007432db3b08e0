#include "filters/AudioVolume.h"

namespace Effect {

AudioVolume::AudioVolume() {
    name = L"音量調整";
    role = kFilter;
    media = kAudio;
    placement = kAudio;
    menuGroup = L"音声効果";
}

std::shared_ptr<EffectBase> AudioVolume::createInstance() const { return std::make_shared<AudioVolume>(); }

std::shared_ptr<Media::AudioBuffer> AudioVolume::filterAudio(Render::AudioRenderContext&,
                                                             std::shared_ptr<Media::AudioBuffer> audio) {
    return pending_.skip(std::move(audio), "Effect::AudioVolume::filterAudio");
}

}  // namespace Effect
