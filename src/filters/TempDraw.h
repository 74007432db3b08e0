#pragma once
#include "effect/EffectClass.h"
#include "effects/OutputShaderEffect.h"

namespace Effect {

// Draws the object into an image of the frame's size, so the filters after it work on the drawn picture.
class TempDraw : public EffectClass<TempDraw>, public OutputShaderEffect {
public:
    static constexpr const wchar_t* kName = L"オフスクリーン描画";

    TempDraw();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
