#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effects/ShaderResource.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Streaks and halos of light from the bright parts.
class GlowFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"グロー";

    EffectItemNumber strength{&items, L"強さ", 40, 0, 500, 0.01};
    EffectItemNumber diffusion{&items, L"拡散", 50, 0, 500, 1};
    EffectItemNumber angle{&items, L"角度", 25, -3600, 3600, 0.01};
    EffectItemNumber threshold{&items, L"しきい値", 80, 0, 200, 0.1};
    EffectItemNumber ratio{&items, L"比率", 100, 0, 100, 0.1};
    EffectItemNumber blur{&items, L"ぼかし", 1, 0, 50, 1};
    EffectItemSelect shape{&items, L"形状", 1, shapeList()};
    EffectItemColor color{&items, L"光色", 0, 0, 0, EffectItem::kColorUnset};
    EffectItemCheck lightOnly{&items, L"光成分のみ"};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    GlowFilter();
    std::shared_ptr<EffectBase> createInstance() const override;
    void createCommonResource() override;
    void shareResource(const EffectBase& prototype) override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> shapeList();
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
