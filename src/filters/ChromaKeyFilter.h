#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "filters/FilterPasses.h"

namespace Effect {

// Keys out the pixels whose hue and saturation lie near a key colour.
class ChromaKeyFilter : public EffectClass<ChromaKeyFilter> {
public:
    static constexpr const wchar_t* kName = L"クロマキー";

    struct Constant {
        float keyH, keyS, lenH, lenS, keyU, keyV;
        int32_t range;
        float divie, correct, transparent;
        int32_t unused[2];
    };
    // The key-map shader, the plain composite and the border composite.
    using CommonResource = FilterPasses::ShadersWithConstant<3, Constant>;

    EffectItemNumber hueRange{&items, L"色相範囲", 16, 0, 256, 1};
    EffectItemNumber saturationRange{&items, L"彩度範囲", 96, 0, 256, 1};
    EffectItemNumber border{&items, L"境界補正", 1, 0, 8, 1};
    EffectItemColor key{&items, L"基準色", 0, 0, 0, EffectItem::kColorUnset};
    EffectItemCheck correctColor{&items, L"色彩補正"};
    EffectItemCheck correctAlpha{&items, L"透過補正"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<CommonResource> common;

    ChromaKeyFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // The key map of the image for the key colour (red, green, blue in 0 .. 1),
    // the hue and saturation ranges in item units and the border: x the
    // distance from the key used by soft transparency and spill correction, y
    // and z the pixel's colour difference, w the key weight (0 at the key, 1
    // far from it). The constants stay bound in b0 for the caller's next draw,
    // which must follow on the same thread.
    std::shared_ptr<Media::ResourceBuffer> createKeyMap(Media::ResourceBuffer& image, const float color[3],
                                                        float hueRange, float saturationRange, int32_t border,
                                                        bool spill, bool soft);
};

}  // namespace Effect
