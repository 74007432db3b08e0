#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Moves the object: its X, Y and Z are added to the position the output placed it at.
class BasicMove : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"座標";

    EffectItemNumber x{&items, L"X", 0, -100000, 100000, 0.01};
    EffectItemNumber y{&items, L"Y", 0, -100000, 100000, 0.01};
    EffectItemNumber z{&items, L"Z", 0, -100000, 100000, 0.01};
    EffectItemGroup position{{&x, &y, &z}};

    BasicMove();
    std::shared_ptr<EffectBase> createInstance() const override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
