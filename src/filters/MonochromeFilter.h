#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "filters/FilterPasses.h"

namespace Effect {

// Pulls the colours, and optionally the luminance, towards one colour.
class MonochromeFilter : public EffectClass<MonochromeFilter> {
public:
    static constexpr const wchar_t* kName = L"単色化";

    struct Constant {
        float level[4];  // x for Y, y and z for U and V
        float yuv[3];    // of the colour
        float unused;
    };
    using CommonResource = FilterPasses::ShadersWithConstant<1, Constant>;

    EffectItemNumber strength{&items, L"強さ", 100, 0, 100, 0.1};
    EffectItemColor color{&items, L"色", 255, 255, 255};
    EffectItemCheck keepLuminance{&items, L"輝度を保持する", true};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<CommonResource> common;

    MonochromeFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
