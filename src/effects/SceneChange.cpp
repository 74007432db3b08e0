#include "effects/SceneChange.h"
#include "core/Exception.h"
#include "effects/ShaderResource.h"

namespace Effect {

SceneChange::SceneChange() {
    name = L"シーンチェンジ";
    role = kControl;
    media = kVideo;
    placement = kVideo;
    kind.notify = 1;
    menuGroup = L"シーンチェンジ";
    placement = kSceneChange;
}

std::shared_ptr<EffectBase> SceneChange::createInstance() const { return std::make_shared<SceneChange>(); }

void SceneChange::createCommonResource() { resource = ShaderResource::create(3, 0); }

void SceneChange::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const SceneChange&>(prototype).resource;
}

void SceneChange::controlVideo(Render::RenderContext&) {
    throw System::notImplementException("Effect::SceneChange::controlVideo");
}

// The built-in transitions; the mask wipes of the transition list follow
// from key 13 once the resources provide them.
std::shared_ptr<const EffectItemSelect::SharedList> SceneChange::transitionList() {
    static const std::shared_ptr<const EffectItemSelect::SharedList> list = [] {
        auto l = EffectItemSelect::SharedList::create();
        const wchar_t* names[] = {L"クロスフェード", L"暗転",     L"ホワイトアウト", L"スライス",   L"ランダムライン",
                                  L"スライド",       L"押し出し", L"スワップ",       L"縮小回転",   L"回転",
                                  L"キューブ回転",   L"放射ブラー", L"ぼかし"};
        for (int32_t i = 0; i < 13; ++i)
            l->insert(i, names[i]);
        return l;
    }();
    return list;
}

}  // namespace Effect
