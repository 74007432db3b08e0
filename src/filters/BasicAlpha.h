#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Makes the object more transparent: the opacity the output set is multiplied.
class BasicAlpha : public EffectClass<BasicAlpha> {
public:
    static constexpr const wchar_t* kName = L"透明度";

    EffectItemNumber alpha{&items, L"透明度", 0, 0, 100, 0.01};

    BasicAlpha();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
