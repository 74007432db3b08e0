#include "effects/AudioLoad.h"

#include "effects/MediaPlayPosition.h"

namespace Effect {

AudioLoad::AudioLoad() {
    name = L"音声ファイル";
    role = kInput;
    media = kAudio;
    placement = kAudio;
    playSpeed.notify = 1;
    preparePlayPosition(playPosition);
    file.notify = 1;
}

std::shared_ptr<EffectBase> AudioLoad::createInstance() const { return std::make_shared<AudioLoad>(); }

}  // namespace Effect
