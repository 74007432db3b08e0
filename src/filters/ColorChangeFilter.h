#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "filters/FilterPasses.h"

namespace Effect {

// Replaces the colours near one colour by another.
class ColorChangeFilter : public EffectClass<ColorChangeFilter> {
public:
    static constexpr const wchar_t* kName = L"特定色域変換";

    struct Constant {
        float afterY, afterU, afterV, beforeY, beforeU, beforeV;
        int32_t range;
        float divie, correct;
        int32_t unused[3];
    };
    // The plain shader, then the one that corrects the border.
    using CommonResource = FilterPasses::ShadersWithConstant<2, Constant>;

    EffectItemNumber hueRange{&items, L"色相範囲", 16, 0, 256, 1};
    EffectItemNumber saturationRange{&items, L"彩度範囲", 96, 0, 256, 1};
    EffectItemNumber border{&items, L"境界補正", 1, 0, 8, 1};
    EffectItemColor before{&items, L"変換前の色", 0, 0, 0, EffectItem::kColorUnset};
    EffectItemColor after{&items, L"変換後の色", 255, 255, 255, EffectItem::kColorUnset};
    EffectItemCheck correctColor{&items, L"色彩補正"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<CommonResource> common;

    ColorChangeFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
