#pragma once
#include "platform/math/Matrix.h"

namespace Effect {

// The matrices a group or camera control keeps for the current frame. The
// output view of the objects under a control combines them; the control
// effects implement this beside their effect base.
class ControlView {
public:
    virtual ~ControlView() = default;
    // Group control: the world matrix applied to its members.
    virtual Platform::math::Matrix getControlWorldMatrix() const = 0;
    // Group control: its members' view matrix; camera control: its view-projection.
    virtual Platform::math::Matrix getControlViewMatrix() const = 0;
    // Group control: whether it and every group around it leave their
    // members as they are (zoom 100, Z and rotations 0) at the frame.
    virtual bool isPlainControl() const { return false; }
    // Camera control: the point its focused object stands on, where the
    // camera's guides mark the target in the preview (x, y, z, 1).
    virtual void setTargetMarker(const Platform::math::Float4&) {}
};

}  // namespace Effect
