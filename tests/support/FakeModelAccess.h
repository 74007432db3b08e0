#pragma once
#include "effect/ModelAccess.h"
#include "support/FakeModel.h"

namespace Effect::Access {

int32_t objectStart(const Edit::Object& object) { return object.start; }
int32_t objectEnd(const Edit::Object& object) { return object.end; }
const std::vector<int32_t>& objectMidpoints(const Edit::Object& object) { return object.midpoints; }
const std::vector<std::shared_ptr<Effect::EffectBase>>& objectEffects(const Edit::Object& object) {
    return object.effects;
}
int32_t sceneRate(const Edit::Scene& scene) { return scene.rate; }
int32_t sceneScale(const Edit::Scene& scene) { return scene.scale; }
int32_t sceneAudioRate(const Edit::Scene& scene) { return scene.audioRate; }

bool findSceneName(int32_t sceneId, std::wstring& name) {
    auto it = Edit::fakeScenes().find(sceneId);
    if (it == Edit::fakeScenes().end())
        return false;
    name = it->second;
    return true;
}

int32_t findSceneId(const std::wstring& name) {
    for (const auto& [id, n] : Edit::fakeScenes())
        if (n == name)
            return id;
    return -1;
}

void renderBufferSize(const Media::RenderBuffer& buffer, int32_t& width, int32_t& height) {
    width = buffer.width;
    height = buffer.height;
}

}  // namespace Effect::Access
