#include "edit/ObjectUndoStates.h"

#include "edit/Group.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemInteger.h"

namespace Edit {
namespace {

// The slot the object is on, when it is on one of the scope's scene.
SceneLayer* slotOf(const Object& object, UpdateSection& scope) {
    if (!scope.scene || object.layer < 0 || object.layer >= scope.scene->layerCount()) return nullptr;
    return scope.scene->layers[static_cast<size_t>(object.layer)].get();
}

void chainChanged(UpdateSection& scope) {
    scope.effectsChanged = scope.timeSettingChanged = scope.colorSettingChanged = scope.textSettingChanged = true;
}

}  // namespace

void ObjectUndoUpdate::capture(const Object& o, ObjectUndoUpdate& s) {
    s.layer = o.layer;
    s.start = o.start;
    s.end = o.end;
    s.midpoints = o.midpoints.empty() ? nullptr : std::make_unique<std::vector<int32_t>>(o.midpoints);
}

bool ObjectUndoUpdate::commit(const Object&, ObjectUndoUpdate& before, ObjectUndoUpdate& after) {
    const size_t b = before.midpoints ? before.midpoints->size() : 0;
    const size_t a = after.midpoints ? after.midpoints->size() : 0;
    const size_t n = a == b ? a : 0;
    if (n > 0) {
        if (*before.midpoints != *after.midpoints) return true;
    }
    before.midpoints.reset();
    after.midpoints.reset();
    return before.layer != after.layer || before.start != after.start || before.end != after.end;
}

void ObjectUndoUpdate::restore(Object& o, const ObjectUndoUpdate& s, UpdateSection& scope) {
    o.start = s.start;
    o.end = s.end;
    if (SceneLayer* slot = slotOf(o, scope)) {
        slot->needsSort = true;
        if (o.layerRangeControl) slot->rangesDirty = true;
    }
    if (s.layer != o.layer && s.layer >= 0 && scope.scene)
        scope.scene->moveObjectToLayer(o.shared_from_this(), s.layer);
    if (s.midpoints) o.midpoints = *s.midpoints;
    scope.layersChanged = scope.sectionsChanged = scope.timeSettingChanged = true;
}

void ObjectUndoCreateDelete::capture(const Object& o, ObjectUndoCreateDelete& s) { s.layer = o.layer; }

bool ObjectUndoCreateDelete::commit(const Object&, ObjectUndoCreateDelete& before, ObjectUndoCreateDelete& after) {
    return before.layer != after.layer;
}

void ObjectUndoCreateDelete::restore(Object& o, const ObjectUndoCreateDelete& s, UpdateSection& scope) {
    if (s.layer < 0) {
        if (SceneLayer* slot = slotOf(o, scope)) {
            slot->needsCompaction = true;
            if (o.layerRangeControl) slot->rangesDirty = true;
        }
        o.layer = -1;
    } else if (scope.scene) {
        scope.scene->moveObjectToLayer(o.shared_from_this(), s.layer);
    }
    scope.layersChanged = true;
}

void ObjectUndoSection::capture(const Object& o, ObjectUndoSection& s) { s.midpoints = o.midpoints; }

bool ObjectUndoSection::commit(const Object&, ObjectUndoSection& before, ObjectUndoSection& after) {
    return before.midpoints != after.midpoints;
}

void ObjectUndoSection::restore(Object& o, const ObjectUndoSection& s, UpdateSection& scope) {
    o.midpoints = s.midpoints;
    scope.sectionsChanged = scope.timeSettingChanged = true;
}

void ObjectUndoGroup::capture(const Object& o, ObjectUndoGroup& s) { s.group = o.group; }

bool ObjectUndoGroup::commit(const Object&, ObjectUndoGroup& before, ObjectUndoGroup& after) {
    return before.group != after.group;
}

void ObjectUndoGroup::restore(Object& o, const ObjectUndoGroup& s, UpdateSection&) {
    o.removeFromGroup();
    o.setGroup(s.group);
}

void ObjectUndoEffect::capture(const Object& o, ObjectUndoEffect& s) {
    s.effects = o.effects;
    s.layerRangeControl = o.layerRangeControl;
}

bool ObjectUndoEffect::commit(const Object&, ObjectUndoEffect& before, ObjectUndoEffect& after) {
    return before.effects != after.effects;
}

void ObjectUndoEffect::restore(Object& o, const ObjectUndoEffect& s, UpdateSection& scope) {
    o.effects = s.effects;
    // A scene change replaced by a group or camera control made the object a
    // layer-range control; its slot's control ranges follow the flag.
    if (o.layerRangeControl != s.layerRangeControl) {
        o.layerRangeControl = s.layerRangeControl;
        if (SceneLayer* slot = slotOf(o, scope)) slot->rangesDirty = true;
        scope.layersChanged = true;
    }
    chainChanged(scope);
}

void ObjectUndoFlag::capture(const Object& o, ObjectUndoFlag& s) {
    s.clipping = o.clipping ? 1 : 0;
    s.camera = o.camera ? 1 : 0;
}

bool ObjectUndoFlag::commit(const Object&, ObjectUndoFlag& before, ObjectUndoFlag& after) {
    return before.clipping != after.clipping || before.camera != after.camera;
}

void ObjectUndoFlag::restore(Object& o, const ObjectUndoFlag& s, UpdateSection& scope) {
    o.clipping = s.clipping != 0;
    o.camera = s.camera != 0;
    chainChanged(scope);
}

void ObjectUndoLayerRange::capture(const Object& o, ObjectUndoLayerRange& s) {
    s.value = 0;
    if (!o.effects.empty())
        if (auto* range = o.effects.front()->getLayerRange()) s.value = range->value;
}

bool ObjectUndoLayerRange::commit(const Object&, ObjectUndoLayerRange& before, ObjectUndoLayerRange& after) {
    return before.value != after.value;
}

void ObjectUndoLayerRange::restore(Object& o, const ObjectUndoLayerRange& s, UpdateSection& scope) {
    if (SceneLayer* slot = slotOf(o, scope)) slot->rangesDirty = true;
    if (!o.effects.empty())
        if (auto* range = o.effects.front()->getLayerRange()) range->value = s.value;
    scope.layersChanged = true;
    chainChanged(scope);
}

}  // namespace Edit
