#pragma once
#include "effect/ModelAccess.h"
#include "FakeModel.h"

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

namespace Effect::Access {

void fontFamilies(std::vector<std::wstring>& names, std::wstring& defaultName) {
    names = {L"Alpha Sans", L"Beta Serif", L"Noto Sans CJK JP", L"Zeta Mono"};
    defaultName = L"Noto Sans CJK JP";
}

void figureNames(std::vector<std::wstring>& names) {
    names = {L"背景", L"円", L"四角形", L"三角形", L"五角形", L"六角形", L"星型", L"ハート", L"arrow"};
}

}  // namespace Effect::Access

namespace Effect::Access {

// The earlier notation is not converted by the fake; tests give it text forms.
std::string convertTrackValue(std::string_view value) { return std::string(value); }

}  // namespace Effect::Access
