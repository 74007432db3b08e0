#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemScene.h"

namespace Effect {

// Another scene of the project with its sound, played from its play position.
class SceneLoad : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"シーン";

    EffectItemNumber playPosition{&items, L"再生位置", 0, 0, 20000, 0.001};
    EffectItemNumber playSpeed{&items, L"再生速度", 100, -2000, 2000, 0.01};
    EffectItemScene scene{&items, L"シーン", 0, 0, 1000000};
    EffectItemCheck loop{&items, L"ループ再生"};

    SceneLoad();
    std::shared_ptr<EffectBase> createInstance() const override;
};

}  // namespace Effect
