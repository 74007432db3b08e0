#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Sets the volume and the balance of the sound through the object's gains;
// the samples are not touched.
class AudioVolume : public EffectClass<AudioVolume> {
public:
    static constexpr const wchar_t* kName = L"音量調整";

    EffectItemNumber volume{&items, L"音量", 100, 0, 1000, 0.01};
    EffectItemNumber pan{&items, L"左右", 0, -100, 100, 0.01};

    AudioVolume();
    std::shared_ptr<Media::AudioBuffer> filterAudio(Render::AudioRenderContext& context,
                                                    std::shared_ptr<Media::AudioBuffer> audio) override;
};

}  // namespace Effect
