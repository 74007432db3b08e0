#pragma once
#include <cstdint>

namespace Edit {
class Object;
}

namespace Effect {

class DisplayCamera;

// What anchor events and anchor passes need of the edit side and the
// windows: moving the cursor, showing a section, the clipping-object view
// and the edit settings that shape the anchors. The program installs an
// implementation at start-up; without one the actions do nothing and the
// settings keep their defaults.
class AnchorCommands {
public:
    virtual ~AnchorCommands();
    // Shows the object's section at the frame in the object settings panel.
    virtual void showSection(const Edit::Object& object, int32_t frame) = 0;
    // The key index of the section the object settings panel shows for the
    // object, or -1 when it shows none of its sections.
    virtual int32_t shownKey(const Edit::Object& object) const = 0;
    // Moves the timeline cursor.
    virtual void setCursorFrame(int32_t frame) = 0;
    // The video render worker's "VisibleClippingObject" setting; setting it
    // runs inside an edit scope that refreshes the preview.
    virtual bool visibleClippingObject() const = 0;
    virtual void setVisibleClippingObject(bool visible) = 0;
    // The picture of the clipping-view button for the state; not owning.
    virtual const void* clippingIcon(bool visible) const = 0;
    // The video render worker's "CameraFreeView" setting: the preview looks
    // through the scene's own camera. Setting it runs inside an edit scope
    // that refreshes the preview. Without an implementation it stays off.
    virtual bool cameraFreeView() const { return false; }
    virtual void setCameraFreeView(bool) {}
    // The picture of the camera's view button: kind 0 editable, 1 locked, 2 free view; not owning.
    virtual const void* cameraIcon(int32_t) const { return nullptr; }
    // The camera record of the scene on show, which free view looks through;
    // written inside the edit scope of a drag. None without a scene.
    virtual DisplayCamera* sceneCamera() { return nullptr; }
    // The edit settings "DisplayObjectMovePoint", "DisplayObjectCenterAnchor" and "AnchorObjectMoveSnap".
    virtual bool displayObjectMovePoint() const = 0;
    virtual bool displayObjectCenterAnchor() const = 0;
    virtual bool anchorObjectMoveSnap() const = 0;

    // The installed commands, or none.
    static AnchorCommands* current();
    // Returns the ones installed before.
    static AnchorCommands* setCurrent(AnchorCommands* commands);
};

}  // namespace Effect
