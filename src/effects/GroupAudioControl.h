#pragma once
#include "effect/AudioControlView.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemLayerRange.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Sets volume and balance of the audio objects of the layers after it. Its
// control step writes the frame's channel factors, which the objects of its
// layers read afterwards on the same thread.
class GroupAudioControl : public EffectClass<GroupAudioControl>, public AudioControlView {
public:
    static constexpr const wchar_t* kName = L"グループ制御(音声)";

    EffectItemNumber volume{&items, L"音量", 100, 0, 1000, 0.01};
    EffectItemNumber pan{&items, L"左右", 0, -100, 100, 0.01};
    EffectItemLayerRange layers{&items, L"対象レイヤー数", 0, 0, 1000};

    // The frame's factors, written by controlAudio.
    float leftFactor = 1.0f;
    float rightFactor = 1.0f;

    GroupAudioControl();
    EffectItemInteger* getLayerRange() override;
    void controlAudio(Render::AudioRenderContext& context) override;

    float getLeftFactor() const override { return leftFactor; }
    float getRightFactor() const override { return rightFactor; }
};

}  // namespace Effect
