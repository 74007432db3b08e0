#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemNumber.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Fades the sound in at the object's start and out at its end.
class AudioFadeFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"音量フェード";

    EffectItemNumber fadeIn{&items, L"イン", 0.5, 0, 10, 0.01};
    EffectItemNumber fadeOut{&items, L"アウト", 0.5, 0, 10, 0.01};

    AudioFadeFilter();
    std::shared_ptr<EffectBase> createInstance() const override;
    std::shared_ptr<Media::AudioBuffer> filterAudio(Render::AudioRenderContext& context,
                                                    std::shared_ptr<Media::AudioBuffer> audio) override;

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
