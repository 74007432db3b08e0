#include "edit/EditAnchorCommands.h"

#include "edit/EditService.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/Scene.h"

namespace Edit {

void EditAnchorCommands::showSection(const Object& object, int32_t frame) {
    if (sectionHooks_.showSection) sectionHooks_.showSection(object, frame);
}

int32_t EditAnchorCommands::shownKey(const Object& object) const {
    return sectionHooks_.shownKey ? sectionHooks_.shownKey(object) : -1;
}

void EditAnchorCommands::setCursorFrame(int32_t frame) { service_.setCursorFrame(frame); }

// Without the preview's own hooks the switch is the renderer's setting.
bool EditAnchorCommands::visibleClippingObject() const {
    if (hooks_.visibleClippingObject) return hooks_.visibleClippingObject();
    return EditCommand::getViewSwitch(EditCommand::ViewSwitch::VisibleClippingObject) != 0;
}

void EditAnchorCommands::setVisibleClippingObject(bool visible) {
    if (hooks_.setVisibleClippingObject)
        hooks_.setVisibleClippingObject(visible);
    else
        EditCommand::storeViewSwitch(EditCommand::ViewSwitch::VisibleClippingObject, visible);
}

const void* EditAnchorCommands::clippingIcon(bool visible) const {
    return hooks_.clippingIcon ? hooks_.clippingIcon(visible) : nullptr;
}

bool EditAnchorCommands::cameraFreeView() const { return hooks_.cameraFreeView && hooks_.cameraFreeView(); }

void EditAnchorCommands::setCameraFreeView(bool on) {
    if (hooks_.setCameraFreeView) hooks_.setCameraFreeView(on);
}

const void* EditAnchorCommands::cameraIcon(int32_t kind) const {
    return hooks_.cameraIcon ? hooks_.cameraIcon(kind) : nullptr;
}

Effect::DisplayCamera* EditAnchorCommands::sceneCamera() {
    const std::shared_ptr<Scene>& scene = service_.currentScene();
    return scene ? &scene->camera : nullptr;
}

bool EditAnchorCommands::displayObjectMovePoint() const { return service_.settings().displayObjectMovePoint != 0; }

bool EditAnchorCommands::displayObjectCenterAnchor() const {
    return service_.settings().displayObjectCenterAnchor != 0;
}

bool EditAnchorCommands::anchorObjectMoveSnap() const { return service_.settings().anchorObjectMoveSnap != 0; }

}  // namespace Edit
