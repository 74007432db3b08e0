#pragma once
#include "effect/MoveXYAnchorEffect.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Media {
class ResourceBuffer;
}

namespace Effect {

// Cuts a fan-shaped sector around a point away, with a soft edge.
class AngleClipFilter : public EffectClass<AngleClipFilter, MoveXYAnchorEffect> {
public:
    static constexpr const wchar_t* kName = L"扇クリッピング";

    EffectItemNumber centerX{&items, L"中心X", 0, -5000, 5000, 0.1};
    EffectItemNumber centerY{&items, L"中心Y", 0, -5000, 5000, 0.1};
    EffectItemNumber baseAngle{&items, L"基準角", 0, -3600, 3600, 0.01};
    EffectItemNumber rangeAngle{&items, L"範囲角", 90, -360, 360, 0.01};
    EffectItemNumber blur{&items, L"ぼかし", 1, 0, 2000, 1};
    EffectItemCheck centered{&items, L"基準角を中央にする"};
    EffectItemGroup center{{&centerX, &centerY}};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    AngleClipFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // Makes the sector around (cx, cy) from the image centre transparent in
    // place: from the base angle (0: the ray pointing left) clockwise by the
    // range (degrees; negative measures the other way), or laid symmetrically
    // about the base angle when centred. The edges fade over blur + 1 pixels;
    // a range of 360 or more clears the image, 0 leaves it.
    void clipSector(Media::ResourceBuffer& image, float baseDegrees, float rangeDegrees, float cx, float cy,
                    int32_t blurPixels, bool centredOnBase) const;
};

}  // namespace Effect
