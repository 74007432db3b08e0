#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Sharpens the image against a blurred copy of it.
class ShapeFilter : public EffectClass<ShapeFilter> {
public:
    static constexpr const wchar_t* kName = L"シャープ";

    EffectItemNumber strength{&items, L"強さ", 50, 0, 800, 0.1};
    EffectItemNumber range{&items, L"範囲", 5, 0, 100, 1};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    ShapeFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
