#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "filters/FilterPasses.h"

namespace Effect {

// Brightness, contrast, hue, luminance and saturation of the object's colours.
class ColorFilter : public EffectClass<ColorFilter> {
public:
    static constexpr const wchar_t* kName = L"色調補正";

    struct Constant {
        float brightness, contrast, hue, luminance, chroma;
        int32_t processSaturate, processYUV;
        int32_t unused;
    };
    using CommonResource = FilterPasses::ShadersWithConstant<1, Constant>;

    EffectItemNumber brightness{&items, L"明るさ", 100, 0, 200, 0.01};
    EffectItemNumber contrast{&items, L"コントラスト", 100, 0, 200, 0.01};
    EffectItemNumber hue{&items, L"色相", 0, -3600, 3600, 0.01};
    EffectItemNumber luminance{&items, L"輝度", 100, 0, 200, 0.01};
    EffectItemNumber saturation{&items, L"彩度", 100, 0, 200, 0.01};
    EffectItemCheck saturate{&items, L"飽和する", true};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<CommonResource> common;

    ColorFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
