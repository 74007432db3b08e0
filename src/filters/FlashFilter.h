#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"

namespace Effect {

// A radial flash of light from a point, laid in front of or behind the image.
class FlashFilter : public EffectClass<FlashFilter> {
public:
    static constexpr const wchar_t* kName = L"閃光";

    EffectItemNumber strength{&items, L"強さ", 100, 0, 100, 0.1};
    EffectItemNumber x{&items, L"X", 0, -2000, 2000, 0.1};
    EffectItemNumber y{&items, L"Y", 0, -2000, 2000, 0.1};
    EffectItemSelect blend{&items, L"合成モード", 0, blendList()};
    EffectItemColor color{&items, L"光色", 0, 0, 0, EffectItem::kColorUnset};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};

    FlashFilter();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> blendList();
};

}  // namespace Effect
