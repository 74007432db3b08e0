#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "filters/FilterPasses.h"

namespace Effect {

// Shifts two of the colour channels in opposite directions.
class ColorShiftFilter : public EffectClass<ColorShiftFilter> {
public:
    static constexpr const wchar_t* kName = L"色ずれ";

    struct Constant {
        float inverseSize[2], offset[2], offsetR[2], offsetG[2], offsetB[2];
        float alpha;
        int32_t mode;
    };
    using CommonResource = FilterPasses::ShadersWithConstant<1, Constant>;

    EffectItemNumber shift{&items, L"ずれ幅", 5, 0, 2000, 0.1};
    EffectItemNumber angle{&items, L"角度", 90, -3600, 3600, 0.01};
    EffectItemNumber strength{&items, L"強さ", 100, 0, 100, 1};
    EffectItemSelect kind{&items, L"色ずれの種類", 0, kindList()};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<CommonResource> common;

    ColorShiftFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> kindList();
};

}  // namespace Effect
