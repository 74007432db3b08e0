#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effects/ShaderResource.h"

namespace Effect {

// A lens blur whose highlights take the shape of a figure: each pixel the
// mean of its neighbourhood weighted by the figure, in light space so that
// bright points spread into the shape. Large kernels run on a reduced copy.
class BokehFilter : public EffectClass<BokehFilter> {
public:
    static constexpr const wchar_t* kName = L"レンズブラー";
    // Kernels up to this many taps a side read the image pixel by pixel.
    static constexpr int32_t kDirectTaps = 80;

    struct Constant {
        float offset[2];  // where the window of the target's pixel (0, 0) starts
        float step[2];    // normalised distance between two taps (sampled)
        float ratio[2];   // 1 / source width, 1 / source height (sampled)
        int32_t sampleNum;
    };

    EffectItemNumber range{&items, L"範囲", 5, 0, 1000, 1};
    EffectItemNumber light{&items, L"光の強さ", 32, 0, 60, 0.1};
    EffectItemSelect shape{&items, L"形状", 1, figureList()};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BokehFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // The blur of the radius with the weights of the figure. Without
    // keepSize the image grows by the radius on each side; with it the edges
    // repeat outward. Radius 0, or a figure the list does not have, returns
    // the image itself.
    std::shared_ptr<Media::ResourceBuffer> lensBlur(std::shared_ptr<Media::ResourceBuffer> image, int32_t figure,
                                                    int32_t radius, bool keepSize) const;
    // The image reduced by the factor on both axes.
    static std::shared_ptr<Media::ResourceBuffer> shrinkImage(std::shared_ptr<Media::ResourceBuffer> image,
                                                              int32_t factor);

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> figureList();
};

}  // namespace Effect
