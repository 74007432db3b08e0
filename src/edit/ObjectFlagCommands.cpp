#include "edit/ObjectFlagCommands.h"

#include <algorithm>
#include <utility>

#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/EditCommandTargets.h"
#include "edit/EditService.h"
#include "edit/Group.h"
#include "edit/KeyHoldRouter.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemInteger.h"

namespace Edit::EditCommand {
namespace {

using ObjectPtr = std::shared_ptr<Object>;
using EffectPtr = std::shared_ptr<Effect::EffectBase>;

ViewSwitches gViewSwitches;

EditService& service() { return *EditService::instance(); }
Undo::UndoService* undo() { return Undo::UndoService::get(); }

std::unique_ptr<UpdateSection> openPlainScope() {
    auto scope = service().openSection();
    if (undo()) undo()->openRecord(*scope);
    return scope;
}

// The scope of a disable or lock flag: the effect blocks and the colour
// panel show them.
std::unique_ptr<UpdateSection> openStateScope(const ObjectPtr& changed) {
    auto scope = service().openSection();
    scope->effectStateChanged = true;
    scope->colorSettingChanged = true;
    scope->objectChanged = true;
    scope->changedObject = changed;
    if (undo()) undo()->openRecord(*scope);
    return scope;
}

void setDisabled(const EffectPtr& effect, bool enable) {
    if (undo()) undo()->addEffectUndoUpdate(effect);
    effect->disabled = enable ? 0 : 1;
}

void setLocked(const EffectPtr& effect, bool lock) {
    if (undo()) undo()->addEffectUndoUpdate(effect);
    effect->locked = lock ? 1 : 0;
}

// The object alone, or the targets when Ctrl is held and it is one of them.
ObjectList objectOrSelection(const ObjectPtr& object) {
    if (EditService::isKeyDown(KeyHoldRouter::kControlKey)) {
        ObjectList targets = getTargets(*service().currentScene());
        if (std::find(targets.begin(), targets.end(), object) != targets.end()) return targets;
    }
    return {object};
}

const char* switchName(ViewSwitch which) {
    switch (which) {
    case ViewSwitch::CameraGrid: return "CameraGrid";
    case ViewSwitch::CameraFreeView: return "CameraFreeView";
    default: return "VisibleClippingObject";
    }
}

void logViewSwitch(const char* command, const char* format, bool enable) {
    System::Log::info(command, format, enable ? 1 : 0);
}

}  // namespace

void setGroup() {
    const ObjectList selected = service().currentScene()->selection.objects;
    if (selected.size() < 2) return;
    System::Log::info("Edit::EditCommand::setGroup", "set group object num=%d", static_cast<int32_t>(selected.size()));
    auto scope = openPlainScope();
    auto group = std::make_shared<Group>();
    for (const ObjectPtr& o : selected) {
        if (undo()) undo()->addObjectUndoGroup(o);
        o->removeFromGroup();
        o->setGroup(group);
    }
}

void clearGroup() {
    System::Log::info("Edit::EditCommand::clearGroup", "clear group object");
    const ObjectList targets = getTargets(*service().currentScene());
    auto scope = openPlainScope();
    for (const ObjectPtr& o : targets) {
        if (undo()) undo()->addObjectUndoGroup(o);
        o->removeFromGroup();
    }
}

bool canClearGroup(const Scene& scene) {
    const ObjectList& selected = scene.selection.objects;
    if (selected.empty()) return scene.focusObject && scene.focusObject->layer != -1 && scene.focusObject->group;
    return std::all_of(selected.begin(), selected.end(), [](const ObjectPtr& o) { return o->group != nullptr; });
}

void setEnableEffect(const ObjectPtr& object, const EffectPtr& effect, bool enable) {
    if (!object || !effect) return;
    System::Log::info("Edit::EditCommand::setEnableEffect", "set enable effect [%s] layer=%d frame=%d enable=%d",
                      System::wideToUtf8(effect->name).c_str(), object->layer, object->start, enable ? 1 : 0);
    auto scope = openStateScope(object);
    setDisabled(effect, enable);
}

void setEnableObjectOrSelection(const ObjectPtr& object, bool enable) {
    if (object) setEnableObject(objectOrSelection(object), enable);
}

void setEnableObject(const ObjectList& objects, bool enable) {
    if (objects.empty()) return;
    System::Log::info("Edit::EditCommand::setEnableObject", "set enable effect num=%d enable=%d",
                      static_cast<int32_t>(objects.size()), enable ? 1 : 0);
    auto scope = openStateScope(nullptr);
    for (const ObjectPtr& o : objects) {
        if (o->effects.empty()) continue;
        if (o->effects.front()->role != Effect::EffectBase::kFilter) {
            setDisabled(o->effects.front(), enable);
            continue;
        }
        for (const EffectPtr& e : o->effects) setDisabled(e, enable);
    }
}

void setLockEffect(const ObjectPtr& object, const EffectPtr& effect, bool lock) {
    if (!object || !effect) return;
    System::Log::info("Edit::EditCommand::setLockEffect", "set lock effect [%s] layer=%d frame=%d lock=%d",
                      System::wideToUtf8(effect->name).c_str(), object->layer, object->start, lock ? 1 : 0);
    auto scope = openStateScope(object);
    setLocked(effect, lock);
    if (effect->role == Effect::EffectBase::kInput && object->effects.size() > 1) setLocked(object->effects[1], lock);
}

void setLockObjectOrSelection(const ObjectPtr& object, bool lock) {
    if (object) setLockObject(objectOrSelection(object), lock);
}

void setLockObject(const ObjectList& objects, bool lock) {
    if (objects.empty()) return;
    System::Log::info("Edit::EditCommand::setLockObject", "set lock effect num=%d lock=%d",
                      static_cast<int32_t>(objects.size()), lock ? 1 : 0);
    auto scope = openStateScope(nullptr);
    for (const ObjectPtr& o : objects)
        for (const EffectPtr& e : o->effects) setLocked(e, lock);
}

namespace {

std::unique_ptr<UpdateSection> openFlagScope(const ObjectPtr& object) {
    auto scope = service().openSection();
    scope->objectChanged = true;
    scope->changedObject = object;
    scope->effectsChanged = true;
    scope->timeSettingChanged = true;
    scope->colorSettingChanged = true;
    scope->textSettingChanged = true;
    if (undo()) {
        undo()->openRecord(*scope);
        undo()->addObjectUndoFlag(object);
    }
    return scope;
}

}  // namespace

void setEnableCameraObject(const ObjectPtr& object, bool enable) {
    if (!object) return;
    System::Log::info("Edit::EditCommand::setEnableCameraObject", "set enable camera layer=%d frame=%d enable=%d",
                      object->layer, object->start, enable ? 1 : 0);
    auto scope = openFlagScope(object);
    object->camera = enable;
    if (enable) object->clipping = false;
}

void setEnableClippingObject(const ObjectPtr& object, bool enable) {
    if (!object) return;
    System::Log::info("Edit::EditCommand::setEnableClippingObject", "set enable clipping layer=%d frame=%d enable=%d",
                      object->layer, object->start, enable ? 1 : 0);
    auto scope = openFlagScope(object);
    object->clipping = enable;
    if (enable) object->camera = false;
}

bool canAdjustTargetLayerRange(const Scene& scene) {
    return scene.selection.controlSelected && scene.selection.objects.size() >= 2;
}

void adjustTargetLayerRange() {
    if (!canAdjustTargetLayerRange(*service().currentScene())) return;
    auto scope = service().openSection();
    scope->layersChanged = true;
    scope->objectChanged = true;
    scope->effectStateChanged = true;
    scope->colorSettingChanged = true;
    if (undo()) undo()->openRecord(*scope);
    Scene& scene = *scope->scene;
    const int32_t h = scene.selection.highestLayer;
    for (const ObjectPtr& o : ObjectList(scene.selection.objects)) {
        if (!o->layerRangeControl || o->layer < 0 || o->layer >= h || o->effects.empty()) continue;
        Effect::EffectItemInteger* range = o->effects.front()->getLayerRange();
        if (!range) continue;
        if (undo()) undo()->addObjectUndoLayerRange(o);
        range->value = h - o->layer;
        scene.layers[static_cast<size_t>(o->layer)]->rangesDirty = true;
    }
}

void storeViewSwitch(ViewSwitch which, bool enable) {
    // The scope stops playback and takes the lock; its object-changed
    // listeners redraw the preview.
    auto scope = service().openSection();
    scope->objectChanged = true;
    if (gViewSwitches.store)
        gViewSwitches.store(which, enable ? 1 : 0);
    else
        System::Log::verbose("Edit::EditCommand::storeViewSwitch", "no renderer keeps %s", switchName(which));
}

ViewSwitches setViewSwitches(ViewSwitches switches) { return std::exchange(gViewSwitches, std::move(switches)); }

int32_t getViewSwitch(ViewSwitch which) {
    if (gViewSwitches.read) return gViewSwitches.read(which);
    return which == ViewSwitch::CameraFreeView ? 0 : 1;
}

void setCameraGrid(bool enable) {
    logViewSwitch("Edit::EditCommand::setCameraGrid", "set camera grid enable=%d", enable);
    storeViewSwitch(ViewSwitch::CameraGrid, enable);
}

void setCameraFreeView(bool enable) {
    logViewSwitch("Edit::EditCommand::setCameraFreeView", "set camera free view enable=%d", enable);
    storeViewSwitch(ViewSwitch::CameraFreeView, enable);
}

void setVisibleClippingObjectView(bool enable) {
    logViewSwitch("Edit::EditCommand::setVisibleClippingObjectView", "set visible clipping object enable=%d", enable);
    storeViewSwitch(ViewSwitch::VisibleClippingObject, enable);
}

}  // namespace Edit::EditCommand
