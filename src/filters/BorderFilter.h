#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// An outline around the object's shape.
class BorderFilter : public EffectClass<BorderFilter> {
public:
    static constexpr const wchar_t* kName = L"縁取り";
    // Outlines up to this size read the image pixel by pixel; larger ones a
    // reduced copy between its texels.
    static constexpr int32_t kDirectLimit = 40;

    struct Constant {
        float color[4];
        float offset[2];  // source position of the target's pixel (0, 0): pixels, or normalised when sampled
        float step[2];    // normalised distance between two taps (sampled)
        float ratio[2];   // 1 / source width, 1 / source height (sampled)
        int32_t range;    // kernel radius in taps
        float inverseRange;
        float limit;  // coverage that gives a fully opaque outline
    };

    EffectItemNumber size{&items, L"サイズ", 5, 0, 500, 1};
    EffectItemNumber blur{&items, L"ぼかし", 5, 0, 100, 1};
    EffectItemColor color{&items, L"縁色", 255, 255, 255};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BorderFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // A new image grown by size on each side holding the outline alone; a
    // larger blur softens it.
    std::shared_ptr<Media::ResourceBuffer> drawOutline(Media::ResourceBuffer& image, int32_t size, int32_t blur,
                                                       const float color[4]) const;
    // The image reduced by the factor on both axes.
    static std::shared_ptr<Media::ResourceBuffer> shrinkImage(std::shared_ptr<Media::ResourceBuffer> image,
                                                              int32_t factor);
};

}  // namespace Effect
