#include "effects/SceneLoad.h"

#include "edit/EditService.h"
#include "effects/MediaPlayPosition.h"
#include "media/audio/AudioBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "plugin/InputFile.h"
#include "plugin/InputService.h"

namespace Effect {
SceneLoad::SceneLoad() {
    role = kInput;
    media = kVideoAudio;
    placement = kVideoAudio;
    playSpeed.notify = 1;
    scene.notify = 1;
    movie.positionItem = &playPosition;
    movie.speedItem = &playSpeed;
    movie.sceneItem = &scene;
    movie.loopItem = &loop;
    movie.mediaKind = 1;
    movie.initPositionItem();
}

std::shared_ptr<Media::ResourceBuffer> SceneLoad::inputVideo(Render::RenderContext& context) {
    return movie.readVideo(context, kept_);
}

void SceneLoad::preInputVideo(Render::RenderContext& context) { movie.preloadVideo(context); }

std::shared_ptr<Media::AudioBuffer> SceneLoad::inputAudio(Render::AudioRenderContext& context) {
    return movie.readAudio(context);
}

void SceneLoad::preInputAudio(Render::AudioRenderContext& context) { movie.preloadAudio(context); }

std::wstring SceneLoad::getDisplayName() const {
    if (scene.value != 0)
        if (const Edit::EditService* edit = Edit::EditService::instance()) {
            std::wstring text = edit->getSceneName(scene.value);
            if (!text.empty()) return text;
        }
    return EffectBase::getDisplayName();
}

bool SceneLoad::itemEvent(const ItemEvent& event) {
    if (event.kind == ItemEvent::kItemChanged && event.item != &playSpeed) {
        movie.probed = 0;
        return movie.checkMedia() && movie.fitObjectLength(event, true);
    }
    return movie.dispatch(event);
}

bool SceneLoad::hasLinkedAudio(int32_t purpose) const { return purpose == 0; }

}  // namespace Effect
