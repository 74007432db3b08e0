#pragma once
#include "effect/AnchorEffectBase.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Media {
class ResourceBuffer;
}

namespace Effect {

// Applies the filters of the layers after it to a copy of the frame drawn so
// far and puts the result back inside a mask of chosen shape, size, turn and
// softness (or over the whole frame without a mask).
class PartEffect : public EffectClass<PartEffect, AnchorEffectBase> {
public:
    static constexpr const wchar_t* kName = L"部分フィルタ";
    using Image = std::shared_ptr<Media::ResourceBuffer>;

    // The programs of the class-wide resource, in order.
    enum Program : size_t {
        kColourMask = 0,    // the mask's luminance is its coverage
        kCoverageMask = 1,  // a filled figure: the mask's alpha is its coverage
    };

    // The layout of the program's constant block.
    struct Constant {
        int32_t offset[2];  // from frame pixels into the filtered image
        float offsetMask[2];
        float inverseMaskSize[2];
        float angleS, angleC;
    };
    static_assert(sizeof(Constant) == 32);

    EffectItemNumber x{&items, L"X", 0, -5000, 5000, 1};
    EffectItemNumber y{&items, L"Y", 0, -5000, 5000, 1};
    EffectItemNumber angle{&items, L"回転", 0, -3600, 3600, 0.01};
    EffectItemNumber size{&items, L"サイズ", 100, 0, 4000, 1};
    EffectItemNumber aspect{&items, L"縦横比", 0, -100, 100, 0.01};
    EffectItemNumber blur{&items, L"ぼかし", 0, 0, 1000, 1};
    EffectItemMaskSelect mask{&items, L"マスクの種類", &fitScene};
    EffectItemCheck fitScene{&items, L"シーンの長さを合わせる"};
    EffectItemCheck invert{&items, L"マスクの反転"};
    EffectItemGroup position{{&x, &y}};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    PartEffect();
    void createCommonResource() override;
    void preInputVideo(Render::RenderContext& context) override;
    void controlVideo(Render::RenderContext& context) override;
    OutputView getOutputView(Render::RenderContext& context) override;

    // Whether "マスクの種類" chooses no mask: the first entry of the list.
    bool noMask() const;

private:
    // The filtered image over the whole frame, moved by the offset.
    static void copyWhole(Media::RenderBuffer& frame, Media::ResourceBuffer& filtered, int32_t dx, int32_t dy);
};

}  // namespace Effect
