#pragma once
#include "effect/MoveXYAnchorEffect.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Media {
class ResourceBuffer;
}

namespace Effect {

// Cuts the image along a line through a point, or inside or outside a band along it, with a soft edge.
class LineClipFilter : public EffectClass<LineClipFilter, MoveXYAnchorEffect> {
public:
    static constexpr const wchar_t* kName = L"斜めクリッピング";

    EffectItemNumber centerX{&items, L"中心X", 0, -5000, 5000, 0.1};
    EffectItemNumber centerY{&items, L"中心Y", 0, -5000, 5000, 0.1};
    EffectItemNumber angle{&items, L"角度", 0, -3600, 3600, 0.01};
    EffectItemNumber blur{&items, L"ぼかし", 1, 0, 2000, 1};
    EffectItemNumber width{&items, L"幅", 0, -2000, 2000, 1};
    EffectItemGroup center{{&centerX, &centerY}};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    LineClipFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // Multiplies the image in place by the cut along the line at the angle
    // (degrees; 0 keeps the upper half) through the point (cx, cy) from the
    // image centre. Width 0 keeps one half-plane, a positive width a band of
    // that width, a negative one cuts that band; the edge fades over blur + 1 pixels.
    void clipLine(Media::ResourceBuffer& image, float angleDegrees, int32_t bandWidth, float cx, float cy,
                  int32_t blurPixels) const;
};

}  // namespace Effect
