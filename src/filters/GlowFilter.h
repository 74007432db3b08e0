#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Makes the bright parts glow: they are taken above a threshold, tinted,
// spread by light streaks or a blurred halo, softened and added to the image.
class GlowFilter : public EffectClass<GlowFilter> {
public:
    static constexpr const wchar_t* kName = L"グロー";

    struct Constant {
        float offset[2];  // source position of the target's pixel (0, 0)
        float step[2];    // displacement between two samples
        float stepRatio;  // scale of the steps on the backward side
        int32_t sampleNum;
    };

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
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // Adds one two-sided light streak of the source into the target: length
    // pixels forward along the angle and ratio times that backward.
    void drawStreak(Media::ResourceBuffer& target, Media::ResourceBuffer& source, float length, float ratio,
                    float angle) const;
    // Adds the source into the target with the two centres aligned.
    static void addCentred(Media::ResourceBuffer& target, Media::ResourceBuffer& source);

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> shapeList();
};

}  // namespace Effect
