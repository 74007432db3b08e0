#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// The playing of an audio object with volume and balance.
class AudioOutput : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"音声再生";

    EffectItemNumber volume{&items, L"音量", 100, 0, 1000, 0.01};
    EffectItemNumber pan{&items, L"左右", 0, -100, 100, 0.01};

    AudioOutput();
    std::shared_ptr<EffectBase> createInstance() const override;
};

}  // namespace Effect
