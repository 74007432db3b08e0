// The model's side of the seams through which the effect framework and the
// render context read objects and scenes.
#include "effect/ModelAccess.h"

#include "edit/Object.h"
#include "edit/Scene.h"

namespace Effect::Access {

int32_t objectStart(const Edit::Object& object) { return object.start; }
int32_t objectEnd(const Edit::Object& object) { return object.end; }
const std::vector<int32_t>& objectMidpoints(const Edit::Object& object) { return object.midpoints; }
const std::vector<std::shared_ptr<Effect::EffectBase>>& objectEffects(const Edit::Object& object) {
    return object.effects;
}
int32_t sceneRate(const Edit::Scene& scene) { return scene.videoRate; }
int32_t sceneScale(const Edit::Scene& scene) { return scene.videoScale; }
int32_t sceneAudioRate(const Edit::Scene& scene) { return scene.audioRate; }

}  // namespace Effect::Access
