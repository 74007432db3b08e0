#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// A mosaic of square tiles.
class MosaicFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"モザイク";

    EffectItemNumber size{&items, L"サイズ", 12, 1, 2000, 1};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    MosaicFilter();
    std::shared_ptr<EffectBase> createInstance() const override;
    void createCommonResource() override;
    void shareResource(const EffectBase& prototype) override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
