#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Fades the sound in at the object's start and out at its end, with a gain
// ramped linearly over each block.
class AudioFadeFilter : public EffectClass<AudioFadeFilter> {
public:
    static constexpr const wchar_t* kName = L"音量フェード";

    EffectItemNumber fadeIn{&items, L"イン", 0.5, 0, 10, 0.01};
    EffectItemNumber fadeOut{&items, L"アウト", 0.5, 0, 10, 0.01};

    AudioFadeFilter();
    std::shared_ptr<Media::AudioBuffer> filterAudio(Render::AudioRenderContext& context,
                                                    std::shared_ptr<Media::AudioBuffer> audio) override;

    // The gains at the block's first sample and after its last one: t is the
    // time from the object's start to the block, r the time from the block to
    // the object's end, d the length of the block, all in seconds.
    struct Gains {
        double first = 1, last = 1;
    };
    static Gains fadeGains(double fadeIn, double fadeOut, double t, double r, double d);
};

}  // namespace Effect
