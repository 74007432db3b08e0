#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// A still image file, or one picture of a numbered image sequence.
class ImageLoad : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"画像ファイル";

    EffectItemFile file{&items, L"ファイル"};
    EffectItemNumber frameNumber{&items, L"表示番号", 0, 0, 10000, 1};
    EffectItemCheck sequence{&items, L"連番ファイル"};

    ImageLoad();
    std::shared_ptr<EffectBase> createInstance() const override;
};

}  // namespace Effect
