#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Mixes the two channels into one, weighted to either side.
class AudioMonoFilter : public EffectClass<AudioMonoFilter> {
public:
    static constexpr const wchar_t* kName = L"モノラル化";

    EffectItemNumber ratio{&items, L"比率", 0, -100, 100, 0.01};

    AudioMonoFilter();
    std::shared_ptr<Media::AudioBuffer> filterAudio(Render::AudioRenderContext& context,
                                                    std::shared_ptr<Media::AudioBuffer> audio) override;
};

}  // namespace Effect
