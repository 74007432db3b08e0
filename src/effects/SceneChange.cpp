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

// The built-in transitions (keys 0 to 12), then the mask wipes of the
// transition list from key 13: its built-in wipe shapes; the mask files of
// %Transition% follow them once the resources list them.
std::shared_ptr<const EffectItemSelect::SharedList> SceneChange::transitionList() {
    static const std::shared_ptr<const EffectItemSelect::SharedList> list = [] {
        auto l = EffectItemSelect::SharedList::create();
        const wchar_t* names[] = {L"クロスフェード", L"暗転",       L"ホワイトアウト", L"スライス", L"ランダムライン",
                                  L"スライド",       L"押し出し",   L"スワップ",       L"縮小回転", L"回転",
                                  L"キューブ回転",   L"放射ブラー", L"ぼかし"};
        for (int32_t i = 0; i < 13; ++i) l->insert(i, names[i]);
        const wchar_t* wipes[] = {L"ワイプ(円)", L"ワイプ(四角)", L"ワイプ(時計)",  L"ワイプ(横)",
                                  L"ワイプ(縦)", L"ワイプ(星型)", L"ワイプ(ハート)"};
        for (int32_t k = 0; k < 7; ++k) l->insert(13 + k, wipes[k]);
        return l;
    }();
    return list;
}

}  // namespace Effect
