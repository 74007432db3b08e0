#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Blurred copies of the bright parts added to the image, so highlights bloom.
class BloomFilter : public EffectClass<BloomFilter> {
public:
    static constexpr const wchar_t* kName = L"発光";

    EffectItemNumber strength{&items, L"強さ", 100, 0, 500, 0.1};
    EffectItemNumber diffusion{&items, L"拡散", 250, 10, 1000, 1};
    EffectItemNumber threshold{&items, L"しきい値", 80, 0, 200, 0.1};
    EffectItemNumber diffusionSpeed{&items, L"拡散速度", 0, 0, 60, 1};
    EffectItemColor color{&items, L"光色", 0, 0, 0, EffectItem::kColorUnset};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};

    BloomFilter();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // Blurs the layer by the radius in the blur mode and adds it into the
    // target with the centres aligned.
    static void addBlurred(Media::ResourceBuffer& target, std::shared_ptr<Media::ResourceBuffer> layer, int32_t radius,
                           int32_t mode);
};

}  // namespace Effect
