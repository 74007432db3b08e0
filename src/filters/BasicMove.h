#pragma once
#include <optional>

#include "effect/AnchorEffectBase.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Moves the object: its X, Y and Z are added to the position the output
// placed it at. Its anchors mark the moved position, and the position of each
// key while the object is focused and the move changes over it.
class BasicMove : public EffectClass<BasicMove, AnchorEffectBase> {
public:
    static constexpr const wchar_t* kName = L"座標";
    // The anchor id that names every key.
    static constexpr int32_t kAllKeys = 100000000;
    // Anchor flags: a key anchor, and an anchor the preview does not draw.
    static constexpr uint32_t kKeyAnchor = 0x80000;
    static constexpr uint32_t kHiddenAnchor = 0x20000000;

    EffectItemNumber x{&items, L"X", 0, -100000, 100000, 0.01};
    EffectItemNumber y{&items, L"Y", 0, -100000, 100000, 0.01};
    EffectItemNumber z{&items, L"Z", 0, -100000, 100000, 0.01};
    EffectItemGroup position{{&x, &y, &z}};

    BasicMove();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    void drawAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t width, int32_t height) override;
    void moveAnchor(const Anchor::AnchorEvent& event) override;
    void setCurrentAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t id, uint32_t flags) override;
    void setSectionAnchor(Render::RenderContext& context, const ChainEntry& entry, int32_t keyIndex,
                          uint32_t flags) override;
    Platform::math::Float4 getAnchorPosition(Render::RenderContext& context, double frame) override;

    // The stored value of the item that key i of an object with m midpoints
    // shows, or none when the item's values do not line up with the keys.
    static std::optional<int32_t> keyValueIndex(size_t valueCount, int32_t key, int32_t midpoints);
    // Whether any of X, Y, Z changes over the object.
    bool moves() const;

private:
    bool focused(const Render::RenderContext& context) const;
};

}  // namespace Effect
