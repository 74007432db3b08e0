#pragma once
#include "effect/EffectBase.h"

namespace Effect {

// The image of the object drawn just before on the layers above.
class BeforeObjectLoad : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"直前オブジェクト";

    BeforeObjectLoad();
    std::shared_ptr<EffectBase> createInstance() const override;

    // Takes over the image the object drawn before handed to its output:
    // afterwards the worker holds none. None for the first object of a frame.
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context) override;
};

}  // namespace Effect
