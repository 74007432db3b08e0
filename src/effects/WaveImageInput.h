#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemButton.h"
#include "effect/EffectItemCheckButton.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// The waveform or spectrum of a sound file, or of the scene's own sound.
class WaveImageInput : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"音声波形表示";

    EffectItemNumber width{&items, L"横幅", 800, 10, 4000, 1};
    EffectItemNumber height{&items, L"高さ", 400, 10, 4000, 1};
    EffectItemNumber playPosition{&items, L"再生位置", 0, 0, 20000, 0.001};
    EffectItemNumber playSpeed{&items, L"再生速度", 100, -2000, 2000, 0.01};
    EffectItemNumber volume{&items, L"音量", 100, 0, 1000, 0.01};
    EffectItemFile file{&items, L"ファイル"};
    EffectItemColor color{&items, L"波形の色", 255, 255, 255};
    EffectItemButton preset{&items, L"波形のプリセット"};
    EffectItemCheckButton spectrum{&items, L"スペクトラム表示"};
    EffectItemCheckButton mirror{&items, L"ミラー表示"};
    EffectItemInteger resolutionX{&items, L"横解像度", 0, 0, 4000};
    EffectItemInteger resolutionY{&items, L"縦解像度", 0, 0, 4000};
    EffectItemInteger spaceX{&items, L"横スペース", 0, 0, 100};
    EffectItemInteger spaceY{&items, L"縦スペース", 0, 0, 100};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    WaveImageInput();
    std::shared_ptr<EffectBase> createInstance() const override;
    void createCommonResource() override;
    void shareResource(const EffectBase& prototype) override;
};

}  // namespace Effect
