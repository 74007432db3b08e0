#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// An outline around the object's shape.
class BorderFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"縁取り";

    EffectItemNumber size{&items, L"サイズ", 5, 0, 500, 1};
    EffectItemNumber blur{&items, L"ぼかし", 5, 0, 100, 1};
    EffectItemColor color{&items, L"縁色", 255, 255, 255};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BorderFilter();
    std::shared_ptr<EffectBase> createInstance() const override;
    void createCommonResource() override;
    void shareResource(const EffectBase& prototype) override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
