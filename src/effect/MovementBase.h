#pragma once
#include <cstdint>
#include <vector>

namespace Render {
class RenderContext;
struct SectionPosition;
}  // namespace Render

namespace Effect {

class EffectItemNumber;

// Turns the key values of a number item into the value at a frame. Each
// registered movement exists once and is shared by every item using it;
// everything per item lives in the item.
class MovementBase {
public:
    const wchar_t* name = L"";
    int32_t valueCount = -1;  // a fixed count, or -1 for one per section boundary
    std::vector<double> defaultTimeControl;
    std::vector<double> defaultSettings;  // non-empty: the item's text has a settings part
    int32_t accelerate = -1;              // -1 not offered, 0 offered and off, 1 offered and on
    int32_t decelerate = -1;
    int32_t ignoreMidpoints = -1;  // as above, 2 = always on and not offered
    uint8_t sectionAnchors = 1;    // key values are reached at the section boundaries
    uint8_t inMenu = 1;
    uint8_t timeControl = 0;  // spread over the whole object through the item's curve

    MovementBase() = default;
    MovementBase(const MovementBase&) = delete;
    MovementBase& operator=(const MovementBase&) = delete;

    virtual ~MovementBase();
    virtual double getValue(const EffectItemNumber& item, const Render::SectionPosition& position,
                            Render::RenderContext& context) const;
    // The segment the value lies in; -1 = the position's own section.
    virtual int32_t getCurrentSection(const EffectItemNumber& item, const Render::SectionPosition& position) const;
    // Whether the value of that key is reached on screen.
    virtual bool isSegmentInterpolated(const EffectItemNumber& item, int32_t key) const;
    // Whether the preview draws the group's path.
    virtual bool hasTrajectory() const;
};

}  // namespace Effect
