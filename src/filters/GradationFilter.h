#pragma once
#include "effect/MoveXYAnchorEffect.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effects/BlendModeList.h"
#include "filters/FilterPasses.h"

namespace Effect {

// A linear, circular, square or ridge gradient laid over the object inside its alpha.
class GradationFilter : public EffectClass<GradationFilter, MoveXYAnchorEffect> {
public:
    static constexpr const wchar_t* kName = L"グラデーション";

    struct Constant {
        float col0[4], col1[4];
        float offset[2], direction[2];
        float range;
        int32_t type;
        int32_t unused[2];
    };
    using CommonResource = FilterPasses::ShadersWithConstant<1, Constant>;

    EffectItemNumber strength{&items, L"強さ", 100, 0, 100, 0.1};
    EffectItemNumber centerX{&items, L"中心X", 0, -5000, 5000, 0.1};
    EffectItemNumber centerY{&items, L"中心Y", 0, -5000, 5000, 0.1};
    EffectItemNumber angle{&items, L"角度", 0, -3600, 3600, 0.01};
    EffectItemNumber width{&items, L"幅", 100, 0, 2000, 1};
    EffectItemSelect blend{&items, L"合成モード", 0, blendModeList()};
    EffectItemSelect shape{&items, L"形状", 0, shapeList()};
    EffectItemColor startColor{&items, L"開始色", 255, 255, 255, EffectItem::kColorUnset};
    EffectItemColor endColor{&items, L"終了色", 0, 0, 0, EffectItem::kColorUnset};
    EffectItemGroup center{{&centerX, &centerY}};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<CommonResource> common;

    GradationFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> shapeList();
};

}  // namespace Effect
