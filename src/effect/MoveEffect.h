#pragma once
#include <cstdint>

#include "effect/AnchorEffectBase.h"

namespace Effect {

// Base of the outputs and controls that place a whole object at X, Y, Z: its
// anchors mark the object and, while it is focused, its keys and size handles.
class MoveEffect : public AnchorEffectBase {
public:
    // Set while the anchors mark the position point itself (custom shapes,
    // or the edit setting that shows the centre).
    uint8_t showCenter = 0;
    // The effect's zoom item, resized by the size handles; none without one.
    EffectItemNumber* ownSizeItem = nullptr;

    // Anchor flags of the object anchor and the key anchors, in space with
    // and without depth.
    static constexpr uint32_t kObjectFlags = 0x10000, kFlatObjectFlags = 0x6010000;
    static constexpr uint32_t kKeyFlags = 0x80000, kFlatKeyFlags = 0x2080000;
    // Half the side of the snapping square, in preview pixels.
    static constexpr float kSnapPixels = 8;
    // The shortest edge a size handle drags the object down to.
    static constexpr float kMinimumHandleLength = 16;

    void drawAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t width, int32_t height) override;
    void moveAnchor(const Anchor::AnchorEvent& event) override;
    Platform::math::Float4 getAnchorPosition(Render::RenderContext& context, double frame) override;

    void setObjectAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t width, int32_t height,
                         uint32_t flags);
    void setCurrentHandles(Render::RenderContext& context, const ChainEntry& entry, int32_t keyIndex, int32_t width,
                           int32_t height);
    void setKeyAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t keyIndex, int32_t width,
                      int32_t height, uint32_t flags);
    // The item the size handles change: a still "サイズ" of the object's
    // source under an output, else the own zoom item (or none).
    EffectItemNumber* getSizeItem(const Edit::Object& object) const;
    // The new point (x, y) pulled onto a snap target within reach.
    void snapAnchorPosition(const Anchor::AnchorEvent& event, Platform::math::Float4& point) const;
    void resizeByHandle(const Anchor::AnchorEvent& event);

    // Whether the view is drawn without depth: no camera, and no group or a plain one.
    static bool isFlatSpace(const OutputView& view);

private:
    // Whether every movement of the position items and of the size item reaches its keys at the section
    // boundaries.
    bool reachesKeys(const EffectItemNumber* sizeItem) const;
};

}  // namespace Effect
