#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// A mosaic of square tiles.
class MosaicFilter : public EffectClass<MosaicFilter> {
public:
    static constexpr const wchar_t* kName = L"モザイク";

    EffectItemNumber size{&items, L"サイズ", 12, 1, 2000, 1};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    MosaicFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
