#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// A movie file with its sound: the object plays the file from its play position.
class MovieLoad : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"動画ファイル";

    EffectItemNumber playPosition{&items, L"再生位置", 0, 0, 20000, 0.001};
    EffectItemNumber playSpeed{&items, L"再生速度", 100, -2000, 2000, 0.01};
    EffectItemFile file{&items, L"ファイル"};
    EffectItemCheck loop{&items, L"ループ再生"};
    EffectItemInteger hasAudio{&items, L"音声付き", 0, 0, 1, EffectItem::kHiddenInteger};

    MovieLoad();
    std::shared_ptr<EffectBase> createInstance() const override;
};

}  // namespace Effect
