#pragma once
#include <cstdint>

#include "core/EventCommandType.h"
#include "platform/window/Message.h"
#include "platform/window/MessageQueue.h"

// How worker threads reach the UI thread: a command message posted to the
// window that dispatches them (the main window, registered when it exists).
namespace Event {

// How a command reaches the window: the window layer's posting.
using CommandPoster = bool (*)(Platform::window::WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam);
// How a command is sent: the window layer's sending, which returns once the
// window's procedure has handled it.
using CommandSender = intptr_t (*)(Platform::window::WindowHandle window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam);
void bindCommandWindow(Platform::window::WindowHandle window, CommandPoster post, CommandSender send = nullptr);
// The window and the window layer's posting are bound together where the
// window is registered, so code that only posts (the model, workers) does not
// link the window layer.
inline void setCommandWindow(Platform::window::WindowHandle window) {
    bindCommandWindow(window, &Platform::window::postMessage, &Platform::window::sendMessage);
}
Platform::window::WindowHandle commandWindow();

// Posts the user message (kind, payload) to the command window. False when
// there is none or it is gone: the payload then still belongs to the caller.
bool postEventCommand(EventCommandType kind, intptr_t payload);
// Posts like postEventCommand, but while no command window has been bound
// yet the command is kept, and posted as soon as one is: it is never lost
// to an early start. discard frees a payload that is never posted (kept
// until the program ends, or refused when it is finally posted). False only
// when a bound window refused it: the payload then still belongs to the
// caller.
using CommandDiscard = void (*)(intptr_t payload);
bool postEventCommandOnceBound(EventCommandType kind, intptr_t payload, CommandDiscard discard);
// Sends the user message to the command window and waits until it is
// handled (the payload may live on the sender's stack). False when there is
// no command window.
bool sendEventCommand(EventCommandType kind, intptr_t payload);

}  // namespace Event
