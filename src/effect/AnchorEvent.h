#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "effect/AnchorList.h"

namespace Anchor {

// What an effect handling a drag may ask of the preview that raised it. The
// preview's anchor control implements it; the effect framework sees the
// window side only through here.
class AnchorHost {
public:
    // An entry of the snap-target list: a position in clip space, and the
    // object it belongs to or none.
    struct SnapTarget {
        std::shared_ptr<Edit::Object> object;
        float x = 0, y = 0;
    };

    virtual ~AnchorHost() = default;
    // The list the preview shows now.
    virtual const AnchorList& currentList() const = 0;
    virtual const std::vector<SnapTarget>& snapTargets() const = 0;
    virtual bool isSelected(const Edit::Object& object) const = 0;
    // The preview's drawing rectangle in pixels.
    virtual int32_t previewWidth() const = 0;
    virtual int32_t previewHeight() const = 0;
    // The size of the scene shown, in pixels.
    virtual int32_t sceneWidth() const = 0;
    virtual int32_t sceneHeight() const = 0;
    // The drag cannot change what it was meant to: the not-allowed pointer.
    virtual void refuseDrag() {}
    // Shift and Control as the pointer's messages left them.
    virtual bool shiftHeld() const { return false; }
    virtual bool controlHeld() const { return false; }
};

// A mouse action on an anchor, as the owning effect receives it.
struct AnchorEvent {
    enum Kind : int32_t { kDrag = 1, kClick = 2, kDoubleClick = 3, kRightDrag = 4 };

    AnchorHost* control = nullptr;
    std::shared_ptr<Edit::Object> object;
    std::shared_ptr<Effect::EffectBase> effect;
    int32_t id = 0;
    uint32_t flags = 0;
    int32_t kind = 0;
    Platform::math::Matrix matrix;
    // The anchor's current point: the effect moving it stores where it put
    // it, and the preview copies it back into its item for the next step.
    mutable Platform::math::Float4 position;
    Platform::math::Float4 startPosition;
    // The anchor's own values; an effect may carry them on from step to step of a drag.
    mutable Platform::math::Float4 vectorA;
    mutable Platform::math::Float4 vectorB;
    mutable Platform::math::Float4 referencePoint;
    std::string label;
    uint64_t tag = 0;
    int32_t totalX = 0, totalY = 0;  // pixels since the press
    int32_t stepX = 0, stepY = 0;    // pixels since the previous event
    Viewport viewport;
    float axisFactor = 1;  // scale of an axis handle's drag
};

}  // namespace Anchor
