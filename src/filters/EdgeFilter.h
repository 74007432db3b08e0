#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Keeps the edges of the colours, of the brightness or of the alpha.
class EdgeFilter : public EffectClass<EdgeFilter> {
public:
    static constexpr const wchar_t* kName = L"エッジ抽出";

    struct Constant {
        float color[4];
        float limit;  // threshold of the gradient
        float ratio;  // strength
    };

    EffectItemNumber strength{&items, L"強さ", 100, 0, 1000, 0.1};
    EffectItemNumber threshold{&items, L"しきい値", 0, -100, 100, 0.01};
    EffectItemColor color{&items, L"色", 255, 255, 255};
    EffectItemCheck luminanceEdge{&items, L"輝度エッジを抽出", true};
    EffectItemCheck alphaEdge{&items, L"透明度エッジを抽出"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    EdgeFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
    // Keeps the two edge checks exclusive: the one turned on turns the other off.
    bool itemEvent(const ItemEvent& event) override;
};

}  // namespace Effect
