#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effects/BasicOutput.h"
#include "effects/OutputAudioEffect.h"

namespace Effect {

// The drawing of a movie object with the volume of its sound.
class MovieOutput : public EffectClass<MovieOutput, BasicOutput>, public OutputAudioEffect {
public:
    static constexpr const wchar_t* kName = L"映像再生";

    EffectItemNumber volume{&items, L"音量", 100, 0, 1000, 0.01};

    MovieOutput();
    void outputAudio(Render::AudioRenderContext& context, Media::AudioBuffer& target,
                     std::shared_ptr<Media::AudioBuffer> audio) override;
};

}  // namespace Effect
