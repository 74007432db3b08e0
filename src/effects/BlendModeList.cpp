#include "effects/BlendModeList.h"

namespace Effect {

std::shared_ptr<const EffectItemSelect::SharedList> blendModeList() {
    static const std::shared_ptr<const EffectItemSelect::SharedList> list = [] {
        auto l = EffectItemSelect::SharedList::create();
        const wchar_t* names[] = {L"通常",     L"加算", L"減算", L"乗算", L"スクリーン", L"オーバーレイ", L"比較(明)",
                                  L"比較(暗)", L"輝度", L"色差", L"陰影", L"明暗",       L"差分"};
        for (int32_t i = 0; i < 13; ++i) l->insert(i, names[i]);
        return l;
    }();
    return list;
}

}  // namespace Effect
