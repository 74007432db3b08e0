#pragma once
#include <cstdint>
#include <string>

#include "platform/window/Message.h"

typedef struct _GdkEventKey GdkEventKey;

// The input method of a top-level window (a GTK input-method context): text
// composed in it (Japanese, Chinese, Korean ...) reaches the window procedure
// as composition messages. A composition begins with the start message; every
// change of the text being composed sends a composition message with
// kGcsCompStr, committed text one with kGcsResultStr, whose text
// compositionResult reads while that message is handled; the end message
// closes it. While no input context is associated with the window, keys reach
// it only as key and character messages. Key presses that simply give a
// character (no composition) arrive as key and character messages either way.
// UI thread only.
namespace Platform::window {

inline constexpr uint32_t kWmImeStartComposition = 0x010D;
inline constexpr uint32_t kWmImeEndComposition = 0x010E;
inline constexpr uint32_t kWmImeComposition = 0x010F;
inline constexpr intptr_t kGcsCompStr = 0x0008;
inline constexpr intptr_t kGcsResultStr = 0x0800;
// The key of a character that has no key of its own (typed through a keymap
// entry made for it, or given by the input method).
inline constexpr uint32_t kVkPacket = 0xE7;

// Associates the window's own input context (on) or none (off). False for a
// window that does not exist.
bool associateInputContext(WindowHandle window, bool on);
bool isInputContextAssociated(WindowHandle window);
// The committed text of the composition message being handled, in UTF-16
// units; empty outside one or when it carries none.
std::u16string compositionResult(WindowHandle window);
// The text being composed, as the last change left it.
std::u16string compositionText(WindowHandle window);
// Where the input method shows the text being composed: the caret's point and
// the area of the text, in client coordinates.
bool setCompositionWindow(WindowHandle window, const Point& caret, const Rect& area);
// The font the composition should use: family (UTF-8) and height in pixels
// (negative: the character height).
bool setCompositionFont(WindowHandle window, const std::string& family, int32_t height);
bool getCompositionWindow(WindowHandle window, Point& caret, Rect& area);
bool getCompositionFont(WindowHandle window, std::string& family, int32_t& height);
// The window's GTK input-method context (a GtkIMContext*), null without a
// display; tests drive its signals.
void* inputContextOf(WindowHandle window);

// Inside the layer.
class InputMethod {
public:
    // Made with the window's widgets, freed with the window.
    static void create(WindowHandle window);
    static void destroy(WindowHandle window);
    // The client area's GDK window exists.
    static void realized(WindowHandle window);
    // The window gained or lost the keyboard.
    static void focusChanged(WindowHandle window, bool in);
    // Offers a key event to the input method. True: it took the key (nothing
    // more is sent for it). False with `character` set: the key simply gave
    // that character.
    static bool filterKey(WindowHandle window, GdkEventKey* event, char32_t& character);
    // A message is about to be handled: a composition message makes its text current.
    static void dispatching(const Message& message);
};

}  // namespace Platform::window
