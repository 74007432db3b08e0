#include "effects/TextInput.h"

namespace Effect {

TextInput::TextInput() {
    name = L"テキスト";
    role = kInput;
    media = kVideo;
    placement = kVideo;
    showSpeed.notify = 1;
    decoration.layout.width = 0.4f;
    alignment.layout.width = 0.4f;
    bold.layout.width = 0.1f;
    italic.layout.width = 0.1f;
    text.notify = 1;
    separate.notify = 1;
    autoLength.notify = 1;
}

std::shared_ptr<EffectBase> TextInput::createInstance() const { return std::make_shared<TextInput>(); }

std::shared_ptr<const EffectItemSelect::SharedList> TextInput::decorationList() {
    static const std::shared_ptr<const EffectItemSelect::SharedList> list = [] {
        auto l = EffectItemSelect::SharedList::create();
        const wchar_t* names[] = {L"標準文字",       L"影付き文字",     L"影付き文字(薄)", L"縁取り文字",
                                  L"縁取り文字(細)", L"縁取り文字(太)", L"縁取り文字(角)"};
        for (int32_t i = 0; i < 7; ++i) l->insert(i, names[i]);
        return l;
    }();
    return list;
}

std::shared_ptr<const EffectItemSelect::SharedList> TextInput::alignmentList() {
    static const std::shared_ptr<const EffectItemSelect::SharedList> list = [] {
        auto l = EffectItemSelect::SharedList::create();
        const wchar_t* names[] = {L"左寄せ[上]",    L"中央揃え[上]",  L"右寄せ[上]",    L"左寄せ[中]",
                                  L"中央揃え[中]",  L"右寄せ[中]",    L"左寄せ[下]",    L"中央揃え[下]",
                                  L"右寄せ[下]",    L"縦書 上寄[右]", L"縦書 中央[右]", L"縦書 下寄[右]",
                                  L"縦書 上寄[中]", L"縦書 中央[中]", L"縦書 下寄[中]", L"縦書 上寄[左]",
                                  L"縦書 中央[左]", L"縦書 下寄[左]"};
        for (int32_t i = 0; i < 18; ++i) l->insert(i, names[i]);
        return l;
    }();
    return list;
}

}  // namespace Effect
