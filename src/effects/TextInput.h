#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemCheckButton.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemFontSelect.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelectButton.h"
#include "effect/EffectItemText.h"

namespace Effect {

// Text drawn with a font, decoration and alignment.
class TextInput : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"テキスト";

    EffectItemNumber size{&items, L"サイズ", 40, 1, 1000, 0.01};
    EffectItemNumber spacing{&items, L"字間", 0, -100, 100, 0.01};
    EffectItemNumber lineSpacing{&items, L"行間", 0, -100, 100, 0.01};
    EffectItemNumber showSpeed{&items, L"表示速度", 0, 0, 100, 0.01};
    EffectItemFontSelect font{&items, L"フォント"};
    EffectItemColor color{&items, L"文字色", 255, 255, 255};
    EffectItemColor shadowColor{&items, L"影・縁色", 0, 0, 0};
    EffectItemSelectButton decoration{&items, L"文字装飾", 0, decorationList()};
    EffectItemSelectButton alignment{&items, L"文字揃え", 0, alignmentList()};
    EffectItemCheckButton bold{&items, L"B"};
    EffectItemCheckButton italic{&items, L"I"};
    EffectItemText text{&items, L"テキスト"};
    EffectItemCheck separate{&items, L"文字毎に個別オブジェクト"};
    EffectItemCheck onPath{&items, L"移動座標上に表示"};
    EffectItemCheck autoLength{&items, L"オブジェクトの長さを自動調節"};

    TextInput();
    std::shared_ptr<EffectBase> createInstance() const override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> decorationList();
    static std::shared_ptr<const EffectItemSelect::SharedList> alignmentList();
};

}  // namespace Effect
