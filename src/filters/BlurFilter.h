#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Blurs along the rays from a centre, like a zoom. Its radialBlur is also
// called on the registered prototype by the flash filter and the scene change.
class BlurFilter : public EffectClass<BlurFilter> {
public:
    static constexpr const wchar_t* kName = L"放射ブラー";

    struct Constant {
        int32_t sampleNum;
        float sampleStep;  // fraction of the distance to the centre between two samples
        float center[2];   // in source pixels
        float offset[2];   // source position of the target's pixel (0, 0)
    };

    EffectItemNumber range{&items, L"範囲", 20, 0, 80, 0.01};
    EffectItemNumber x{&items, L"X", 0, -2000, 2000, 0.1};
    EffectItemNumber y{&items, L"Y", 0, -2000, 2000, 0.1};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BlurFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // A new image: each pixel averaged toward the centre (the image centre
    // moved by x, y) over strength percent of the distance. The image is only
    // read. Without keepSize the image grows to hold the zoom (at most 16384
    // on a side, cut on the right and bottom) and the centre pair moves by
    // half the uneven growth, so the image stays in place on screen.
    std::shared_ptr<Media::ResourceBuffer> radialBlur(Media::ResourceBuffer& image, float& centreX, float& centreY,
                                                      float strength, float x, float y, bool keepSize) const;
};

}  // namespace Effect
