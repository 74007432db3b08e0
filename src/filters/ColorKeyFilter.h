#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "filters/FilterPasses.h"

namespace Effect {

// Keys out the pixels whose luminance and colour difference lie near a key colour.
class ColorKeyFilter : public EffectClass<ColorKeyFilter> {
public:
    static constexpr const wchar_t* kName = L"カラーキー";

    struct Constant {
        float key[3];
        int32_t range;
        float len[3];
        float divie;
    };
    // The mask shader and the border shader.
    using CommonResource = FilterPasses::ShadersWithConstant<2, Constant>;

    EffectItemNumber luminanceRange{&items, L"輝度範囲", 400, 0, 4096, 1};
    EffectItemNumber colorRange{&items, L"色差範囲", 400, 0, 4096, 1};
    EffectItemNumber border{&items, L"境界補正", 1, 0, 80, 1};
    EffectItemColor key{&items, L"基準色", 0, 0, 0, EffectItem::kColorUnset};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<CommonResource> common;

    ColorKeyFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
