#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Repeats the image across and down.
class ImageLoop : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"画像ループ";

    EffectItemNumber columns{&items, L"横回数", 1, 1, 100, 1};
    EffectItemNumber rows{&items, L"縦回数", 1, 1, 100, 1};
    EffectItemNumber offsetX{&items, L"オフセットX", 0, -10000, 10000, 0.001};
    EffectItemNumber offsetY{&items, L"オフセットY", 0, -10000, 10000, 0.001};
    EffectItemCheck separate{&items, L"個別オブジェクト"};

    ImageLoop();
    std::shared_ptr<EffectBase> createInstance() const override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
