#pragma once
#include <cstdint>

#include "platform/window/Message.h"

// Virtual-key numbers (the shortcut files store them) and the key state the
// window code reads. GDK key values are mapped to the key's unshifted
// meaning, so Shift+1 is the key '1'.
namespace Platform::window {

inline constexpr uint32_t kVkLButton = 0x01;
inline constexpr uint32_t kVkRButton = 0x02;
inline constexpr uint32_t kVkMButton = 0x04;
inline constexpr uint32_t kVkBack = 0x08;
inline constexpr uint32_t kVkTab = 0x09;
inline constexpr uint32_t kVkReturn = 0x0D;
inline constexpr uint32_t kVkShift = 0x10;
inline constexpr uint32_t kVkControl = 0x11;
inline constexpr uint32_t kVkMenu = 0x12;
inline constexpr uint32_t kVkPause = 0x13;
inline constexpr uint32_t kVkCapital = 0x14;
inline constexpr uint32_t kVkEscape = 0x1B;
inline constexpr uint32_t kVkSpace = 0x20;
inline constexpr uint32_t kVkPrior = 0x21;
inline constexpr uint32_t kVkNext = 0x22;
inline constexpr uint32_t kVkEnd = 0x23;
inline constexpr uint32_t kVkHome = 0x24;
inline constexpr uint32_t kVkLeft = 0x25;
inline constexpr uint32_t kVkUp = 0x26;
inline constexpr uint32_t kVkRight = 0x27;
inline constexpr uint32_t kVkDown = 0x28;
inline constexpr uint32_t kVkInsert = 0x2D;
inline constexpr uint32_t kVkDelete = 0x2E;
inline constexpr uint32_t kVkNumpad0 = 0x60;
inline constexpr uint32_t kVkMultiply = 0x6A;
inline constexpr uint32_t kVkAdd = 0x6B;
inline constexpr uint32_t kVkSubtract = 0x6D;
inline constexpr uint32_t kVkDecimal = 0x6E;
inline constexpr uint32_t kVkDivide = 0x6F;
inline constexpr uint32_t kVkF1 = 0x70;
inline constexpr uint32_t kVkLShift = 0xA0;
inline constexpr uint32_t kVkRShift = 0xA1;
inline constexpr uint32_t kVkLControl = 0xA2;
inline constexpr uint32_t kVkRControl = 0xA3;
inline constexpr uint32_t kVkLMenu = 0xA4;
inline constexpr uint32_t kVkRMenu = 0xA5;

class KeyMap {
public:
    // The virtual key of a GDK key value (0 when it has none).
    static uint32_t virtualKeyFromKeyval(uint32_t keyval);
    // Key state as the messages taken from the queue left it (high bit: down,
    // low bit: toggled), and as the keys are now.
    static int16_t keyState(uint32_t vk);
    static int16_t asyncKeyState(uint32_t vk);
    // Layer-internal: a key or button went down or up (as GTK reports it), and
    // a message was taken from the queue.
    static void noteEvent(uint32_t vk, bool down);
    static void noteRetrieved(const Message& msg);
};

inline int16_t getKeyState(uint32_t vk) { return KeyMap::keyState(vk); }
inline int16_t getAsyncKeyState(uint32_t vk) { return KeyMap::asyncKeyState(vk); }

}  // namespace Platform::window
