#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Turns the object about its three axes, in degrees added to the output's rotation.
class BasicAngle : public EffectClass<BasicAngle> {
public:
    static constexpr const wchar_t* kName = L"回転";

    EffectItemNumber x{&items, L"X", 0, -3600, 3600, 0.01};
    EffectItemNumber y{&items, L"Y", 0, -3600, 3600, 0.01};
    EffectItemNumber z{&items, L"Z", 0, -3600, 3600, 0.01};

    BasicAngle();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
