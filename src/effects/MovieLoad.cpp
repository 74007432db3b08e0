#include "effects/MovieLoad.h"

#include "effects/MediaPlayPosition.h"

namespace Effect {

MovieLoad::MovieLoad() {
    name = L"動画ファイル";
    role = kInput;
    media = kVideoAudio;
    placement = kVideoAudio;
    playSpeed.notify = 1;
    preparePlayPosition(playPosition);
    file.notify = 1;
}

std::shared_ptr<EffectBase> MovieLoad::createInstance() const { return std::make_shared<MovieLoad>(); }

}  // namespace Effect
