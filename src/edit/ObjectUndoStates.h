#pragma once
// The states undo items keep of an object, one record per aspect.
#include <cstdint>
#include <memory>
#include <vector>

#include "edit/EffectManager.h"

namespace Edit {

class Group;
class Object;
class UpdateSection;

// Layer, frames and (only when there are any) the midpoints.
struct ObjectUndoUpdate {
    int32_t layer = 0;
    int32_t start = 0;
    int32_t end = 0;
    std::unique_ptr<std::vector<int32_t>> midpoints;

    static void capture(const Object& object, ObjectUndoUpdate& state);
    static bool commit(const Object& object, ObjectUndoUpdate& before, ObjectUndoUpdate& after);
    static void restore(Object& object, const ObjectUndoUpdate& state, UpdateSection& scope);
};

// The layer; -1 while the object is not in the scene.
struct ObjectUndoCreateDelete {
    int32_t layer = -1;

    static void capture(const Object& object, ObjectUndoCreateDelete& state);
    static bool commit(const Object& object, ObjectUndoCreateDelete& before, ObjectUndoCreateDelete& after);
    static void restore(Object& object, const ObjectUndoCreateDelete& state, UpdateSection& scope);
};

struct ObjectUndoSection {
    std::vector<int32_t> midpoints;

    static void capture(const Object& object, ObjectUndoSection& state);
    static bool commit(const Object& object, ObjectUndoSection& before, ObjectUndoSection& after);
    static void restore(Object& object, const ObjectUndoSection& state, UpdateSection& scope);
};

struct ObjectUndoGroup {
    std::shared_ptr<Group> group;

    static void capture(const Object& object, ObjectUndoGroup& state);
    static bool commit(const Object& object, ObjectUndoGroup& before, ObjectUndoGroup& after);
    static void restore(Object& object, const ObjectUndoGroup& state, UpdateSection& scope);
};

// The chain, with the layer-range control flag that goes with its head.
struct ObjectUndoEffect {
    EffectManager::EffectList effects;
    bool layerRangeControl = false;

    static void capture(const Object& object, ObjectUndoEffect& state);
    static bool commit(const Object& object, ObjectUndoEffect& before, ObjectUndoEffect& after);
    static void restore(Object& object, const ObjectUndoEffect& state, UpdateSection& scope);
};

struct ObjectUndoFlag {
    uint8_t clipping = 0;
    uint8_t camera = 1;

    static void capture(const Object& object, ObjectUndoFlag& state);
    static bool commit(const Object& object, ObjectUndoFlag& before, ObjectUndoFlag& after);
    static void restore(Object& object, const ObjectUndoFlag& state, UpdateSection& scope);
};

// The layer-range value of the object's first effect.
struct ObjectUndoLayerRange {
    int32_t value = 0;

    static void capture(const Object& object, ObjectUndoLayerRange& state);
    static bool commit(const Object& object, ObjectUndoLayerRange& before, ObjectUndoLayerRange& after);
    static void restore(Object& object, const ObjectUndoLayerRange& state, UpdateSection& scope);
};

}  // namespace Edit
