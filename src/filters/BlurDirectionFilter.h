#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Blurs along one direction.
class BlurDirectionFilter : public EffectClass<BlurDirectionFilter> {
public:
    static constexpr const wchar_t* kName = L"方向ブラー";

    struct Constant {
        float offset[2];  // source position of the target's pixel (0, 0)
        float step[2];    // displacement between two samples
        float stepRatio;  // scale of the steps on the backward side
        int32_t sampleNum;
    };

    EffectItemNumber range{&items, L"範囲", 20, 0, 1000, 1};
    EffectItemNumber angle{&items, L"角度", 50, -3600, 3600, 0.01};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BlurDirectionFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // A new image: the source smeared length pixels both ways along the angle
    // (0 points down the image, 90 to the left), the backward side scaled by
    // the step ratio. Without keepSize it grows by the smear on each side.
    std::shared_ptr<Media::ResourceBuffer> directionBlur(std::shared_ptr<Media::ResourceBuffer> image, float length,
                                                         float angle, float stepRatio, bool keepSize) const;
};

}  // namespace Effect
