#pragma once
#include <cstdint>

#include "core/EventCommandType.h"
#include "platform/window/Message.h"

// How worker threads reach the UI thread: a command message posted to the
// window that dispatches them (the main window, registered when it exists).
namespace Event {

void setCommandWindow(Platform::window::WindowHandle window);
Platform::window::WindowHandle commandWindow();

// Posts the user message (kind, payload) to the command window. False when
// there is none or it is gone: the payload then still belongs to the caller.
bool postEventCommand(EventCommandType kind, intptr_t payload);

}  // namespace Event
