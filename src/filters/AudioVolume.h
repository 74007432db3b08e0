#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemNumber.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Sets the volume and the balance of the sound.
class AudioVolume : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"音量調整";

    EffectItemNumber volume{&items, L"音量", 100, 0, 1000, 0.01};
    EffectItemNumber pan{&items, L"左右", 0, -100, 100, 0.01};

    AudioVolume();
    std::shared_ptr<EffectBase> createInstance() const override;
    std::shared_ptr<Media::AudioBuffer> filterAudio(Render::AudioRenderContext& context,
                                                    std::shared_ptr<Media::AudioBuffer> audio) override;

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
