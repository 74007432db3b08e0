#pragma once
#include <cstdint>

#include "platform/window/Message.h"

namespace Dialog {

// Where a box or file dialog goes: owned by the main window and
// application-modal while there is one (playback is stopped first), else
// without an owner and task-modal.
struct BoxOwner {
    Platform::window::WindowHandle owner = nullptr;
    uint32_t modality = 0;  // the message-box style bits for it
};
BoxOwner boxOwner();

// Stops playback when a player has installed its stop (the one stop the
// edit layer's update sections use too).
void stopPlayback();

}  // namespace Dialog
