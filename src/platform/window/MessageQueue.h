#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/os/Wait.h"
#include "platform/window/Message.h"

// The message queue every thread gets on first use: get, peek, translate and
// dispatch; post from any thread (waking the owner), send that waits for the
// owner's answer; window-less and window timers delivered as timer messages;
// and the wait on several handles together with input. On the thread that
// runs GTK the waits run GLib's main loop, so window input arrives through
// the same queue.
namespace Platform::window {

inline constexpr uint32_t kPmNoRemove = 0x0;
inline constexpr uint32_t kPmRemove = 0x1;

// Wait results of msgWaitForMultipleObjects beyond kWaitObject0 + index.
inline constexpr uint32_t kWaitObject0 = os::kWaitObject0;
inline constexpr uint32_t kWaitTimeout = os::kWaitTimeout;
inline constexpr uint32_t kWaitFailed = os::kWaitFailed;
inline constexpr uint32_t kQsAllInput = 0x1CFF;

// Identifier of the calling thread (the kernel's thread id).
uint32_t currentThreadId();
// Milliseconds of the monotonic clock, as message times carry them.
uint32_t tickCount();

// 1 for a message, 0 for the quit message, -1 on failure (lastError set).
// min = max = 0 takes every message; a window filter takes only its messages.
// The quit message passes every range filter.
int getMessage(Message& msg, WindowHandle window, uint32_t min, uint32_t max);
bool peekMessage(Message& msg, WindowHandle window, uint32_t min, uint32_t max, uint32_t remove);
// Blocks until the queue holds a message.
void waitMessage();
// A key press becomes a character message (a system key press a system
// character), placed to come next; returns whether it did.
bool translateMessage(const Message& msg);
intptr_t dispatchMessage(const Message& msg);
// Sees every message just before dispatchMessage hands it on (the input
// method installs it with its first context, so a program without windows
// links no toolkit through the queue). Null removes it.
void setDispatchObserver(void (*observer)(const Message& msg));

// Queues a message for the window's thread; a null window posts to the
// calling thread. Any thread; returns false (lastError set) for a window that
// no longer exists.
bool postMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
bool postThreadMessage(uint32_t threadId, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Calls the window procedure on the window's thread and returns its answer.
// From another thread the caller waits, answering messages sent to its own
// thread meanwhile; the owner answers sends whenever it waits (in the queue's
// waits and in every os wait), so a send never deadlocks against an owner
// that waits for the sender. 0 when the window is gone.
intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void postQuitMessage(int exitCode);

// Waits for one of the handles or for input: kWaitObject0 + index of the
// signalled handle (lowest index first, taken when it is auto-reset), or
// kWaitObject0 + count when the queue holds a message, kWaitTimeout, or
// kWaitFailed (lastError set).
uint32_t msgWaitForMultipleObjects(size_t count, const os::WaitHandle* handles, bool waitAll, uint32_t timeoutMs,
                                   uint32_t wakeMask);

// Timers of the calling thread's queue. A null window with an id that is not
// one of the thread's timers creates a new timer and returns its id; an
// existing id is re-armed. Each expiry gives one timer message (lParam: the
// procedure) when the queue is otherwise empty. 0 on failure.
uintptr_t setTimer(WindowHandle window, uintptr_t id, uint32_t intervalMs, TimerProc proc);
bool killTimer(WindowHandle window, uintptr_t id);

}  // namespace Platform::window
