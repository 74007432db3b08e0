#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Scales the object, as a whole and per axis, on top of the output's scale.
class BasicScale : public EffectClass<BasicScale> {
public:
    static constexpr const wchar_t* kName = L"拡大率";

    EffectItemNumber zoom{&items, L"拡大率", 100, 0, 10000, 0.001};
    EffectItemNumber x{&items, L"X", 100, 0, 10000, 0.001};
    EffectItemNumber y{&items, L"Y", 100, 0, 10000, 0.001};
    EffectItemNumber z{&items, L"Z", 100, 0, 10000, 0.001};

    BasicScale();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
