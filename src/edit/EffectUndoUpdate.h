#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace Edit {
class UpdateSection;
}

namespace Effect {

class EffectBase;
class EffectItem;

// The state an undo item keeps of an effect: a copy of each parameter item
// (only the changed ones survive a commit) and the disable and lock flags.
struct EffectUndoUpdate {
    std::vector<std::unique_ptr<EffectItem>> items;
    uint8_t disabled = 0;
    uint8_t locked = 0;

    EffectUndoUpdate();
    EffectUndoUpdate(EffectUndoUpdate&&) noexcept;
    EffectUndoUpdate& operator=(EffectUndoUpdate&&) noexcept;
    ~EffectUndoUpdate();

    static void capture(const EffectBase& effect, EffectUndoUpdate& state);
    static bool commit(const EffectBase& effect, EffectUndoUpdate& before, EffectUndoUpdate& after);
    static void restore(EffectBase& effect, const EffectUndoUpdate& state, Edit::UpdateSection& scope);
    // Whether the state holds copies, all of them of the given item.
    bool hasOnlyEffectItem(const EffectBase& effect, const EffectItem& item) const;
};

}  // namespace Effect
