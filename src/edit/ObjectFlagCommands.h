#pragma once
// The commands that change attributes of objects and effects without moving
// anything in time: groups, the disable and lock flags, the camera and
// clipping flags and the layer count of layer-range controls, each one edit
// scope and one undo step; and the preview's three display switches, stored
// in an edit scope without undo. UI thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace Effect {
class EffectBase;
}
namespace Edit {
class Object;
class Scene;
}  // namespace Edit

namespace Edit::EditCommand {

using ObjectList = std::vector<std::shared_ptr<Object>>;

// All selected objects into one new group (nothing below two).
void setGroup();
// The targets out of their groups.
void clearGroup();

void setEnableEffect(const std::shared_ptr<Object>& object, const std::shared_ptr<Effect::EffectBase>& effect,
                     bool enable);
// The object alone, or all targets when Ctrl is held on one of them.
void setEnableObjectOrSelection(const std::shared_ptr<Object>& object, bool enable);
// The head effect of each object; every effect of a filter object.
void setEnableObject(const ObjectList& objects, bool enable);
// An input effect takes its output with it.
void setLockEffect(const std::shared_ptr<Object>& object, const std::shared_ptr<Effect::EffectBase>& effect, bool lock);
void setLockObjectOrSelection(const std::shared_ptr<Object>& object, bool lock);
// Every effect of each object's chain.
void setLockObject(const ObjectList& objects, bool lock);

// The two flags exclude each other when set.
void setEnableCameraObject(const std::shared_ptr<Object>& object, bool enable);
void setEnableClippingObject(const std::shared_ptr<Object>& object, bool enable);

// Selected layer-range controls reach exactly down to the highest selected layer.
void adjustTargetLayerRange();
bool canAdjustTargetLayerRange(const Scene& scene);

// The preview's display switches, kept with the video renderer's settings.
enum class ViewSwitch { CameraGrid, CameraFreeView, VisibleClippingObject };
struct ViewSwitches {
    std::function<int32_t(ViewSwitch which)> read;
    std::function<void(ViewSwitch which, int32_t value)> store;
};
// The render side installs where the switches live; returns the ones before.
ViewSwitches setViewSwitches(ViewSwitches switches);
// The switch's stored value; without a render side its default.
int32_t getViewSwitch(ViewSwitch which);
// Stores the switch in an edit scope whose listeners redraw the preview,
// without a log line (for a caller that logged the command already).
void storeViewSwitch(ViewSwitch which, bool enable);
void setCameraGrid(bool enable);
void setCameraFreeView(bool enable);
void setVisibleClippingObjectView(bool enable);

// Whether the ungroup entry has something to act on: every selected object
// has a group, or with no selection the focus object (on a layer) has one.
bool canClearGroup(const Scene& scene);

}  // namespace Edit::EditCommand
