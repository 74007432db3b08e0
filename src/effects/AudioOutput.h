#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effects/OutputAudioEffect.h"

namespace Effect {

// The playing of an audio object with volume and balance.
class AudioOutput : public EffectClass<AudioOutput>, public OutputAudioEffect {
public:
    static constexpr const wchar_t* kName = L"音声再生";

    EffectItemNumber volume{&items, L"音量", 100, 0, 1000, 0.01};
    EffectItemNumber pan{&items, L"左右", 0, -100, 100, 0.01};

    AudioOutput();
    void outputAudio(Render::AudioRenderContext& context, Media::AudioBuffer& target,
                     std::shared_ptr<Media::AudioBuffer> audio) override;
};

}  // namespace Effect
