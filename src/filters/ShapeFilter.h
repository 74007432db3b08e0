#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Sharpens the image against a blurred copy of it.
class ShapeFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"シャープ";

    EffectItemNumber strength{&items, L"強さ", 50, 0, 800, 0.1};
    EffectItemNumber range{&items, L"範囲", 5, 0, 100, 1};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    ShapeFilter();
    std::shared_ptr<EffectBase> createInstance() const override;
    void createCommonResource() override;
    void shareResource(const EffectBase& prototype) override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
