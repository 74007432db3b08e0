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

// The player installs how playback stops while it exists; none: nothing plays.
using PlaybackStop = void (*)();
PlaybackStop setPlaybackStop(PlaybackStop stop);

// Stops playback when a player has installed its stop.
void stopPlayback();

}  // namespace Dialog
