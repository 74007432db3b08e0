#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Crops the image by four edge amounts.
class ClipFilter : public EffectClass<ClipFilter> {
public:
    static constexpr const wchar_t* kName = L"クリッピング";

    EffectItemNumber top{&items, L"上", 0, 0, 4000, 1};
    EffectItemNumber bottom{&items, L"下", 0, 0, 4000, 1};
    EffectItemNumber left{&items, L"左", 0, 0, 4000, 1};
    EffectItemNumber right{&items, L"右", 0, 0, 4000, 1};
    EffectItemCheck moveCenter{&items, L"中心の位置を変更"};

    ClipFilter();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
    // Four small handles on the edges of the focused object's final image.
    void updateAnchor(Render::RenderContext& context, int32_t width, int32_t height) override;
    // A drag of an edge handle moves that edge.
    bool anchorEvent(const Anchor::AnchorEvent& event) override;

    // Flags of the four handles.
    static constexpr uint32_t kLeftEdge = 0x20, kRightEdge = 0x40, kTopEdge = 0x80, kBottomEdge = 0x100;
};

}  // namespace Effect
