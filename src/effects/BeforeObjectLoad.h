#pragma once
#include "effect/EffectClass.h"

namespace Effect {

// The image of the object drawn just before on the layers above.
class BeforeObjectLoad : public EffectClass<BeforeObjectLoad> {
public:
    static constexpr const wchar_t* kName = L"直前オブジェクト";

    BeforeObjectLoad();

    // Takes over the image the object drawn before handed to its output:
    // afterwards the worker holds none. None for the first object of a frame.
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context) override;
};

}  // namespace Effect
