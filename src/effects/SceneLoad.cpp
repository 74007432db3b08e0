#include "effects/SceneLoad.h"

#include "effects/MediaPlayPosition.h"

namespace Effect {

SceneLoad::SceneLoad() {
    name = L"シーン";
    role = kInput;
    media = kVideoAudio;
    placement = kVideoAudio;
    playSpeed.notify = 1;
    preparePlayPosition(playPosition);
    scene.notify = 1;
}

std::shared_ptr<EffectBase> SceneLoad::createInstance() const { return std::make_shared<SceneLoad>(); }

}  // namespace Effect
