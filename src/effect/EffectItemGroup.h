#pragma once
#include <cstdint>
#include <vector>

namespace Render {
class RenderContext;
}

namespace Effect {

class EffectItemNumber;

// Number items that form one coordinate set (X, Y and Z of a position, or
// any two or three coordinates). Built by the effect after its items; every
// member points back to it.
class EffectItemGroup {
public:
    std::vector<EffectItemNumber*> members;

    explicit EffectItemGroup(std::vector<EffectItemNumber*> members);
    EffectItemGroup(const EffectItemGroup&) = delete;
    EffectItemGroup& operator=(const EffectItemGroup&) = delete;

    // The number item rule with the largest value count of the members.
    bool isEditableAt(const Render::RenderContext& context) const;
    // The position of the item in the group, or -1.
    int32_t indexOf(const EffectItemNumber* item) const;
};

}  // namespace Effect
