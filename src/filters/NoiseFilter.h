#pragma once
#include <array>

#include "effect/EffectClass.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Moving noise multiplied into the alpha or the brightness.
class NoiseFilter : public EffectClass<NoiseFilter> {
public:
    static constexpr const wchar_t* kName = L"ノイズ";

    EffectItemNumber strength{&items, L"強さ", 100, 0, 200, 0.1};
    EffectItemNumber speedX{&items, L"速度X", 0, -800, 800, 0.1};
    EffectItemNumber speedY{&items, L"速度Y", 0, -800, 800, 0.1};
    EffectItemNumber changeSpeed{&items, L"変化速度", 0, 0, 800, 0.1};
    EffectItemNumber cycleX{&items, L"周期X", 1, 0, 100, 0.01};
    EffectItemNumber cycleY{&items, L"周期Y", 1, 0, 100, 0.01};
    EffectItemNumber threshold{&items, L"しきい値", 0, 0, 100, 0.1};
    EffectItemInteger seed{&items, L"シード", 0, 0, 100};
    EffectItemSelect blend{&items, L"合成モード", 0, blendList()};
    EffectItemSelect kind{&items, L"ノイズの種類", 0, kindList()};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    NoiseFilter();
    // The pattern's shift for the seed, each in 0 .. 1 of the field's size.
    static std::array<double, 2> seedShift(int32_t seed);
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> blendList();
    static std::shared_ptr<const EffectItemSelect::SharedList> kindList();
};

}  // namespace Effect
