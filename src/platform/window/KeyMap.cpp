#include "platform/window/KeyMap.h"

#include <gdk/gdkkeysyms.h>

#include <array>
#include <atomic>

namespace Platform::window {
namespace {

struct States {
    std::array<std::atomic<uint8_t>, 256> queued{};  // bit 7 down, bit 0 toggled
    std::array<std::atomic<uint8_t>, 256> async{};
};
States& states() {
    static States s;
    return s;
}

void setState(std::array<std::atomic<uint8_t>, 256>& table, uint32_t vk, bool down) {
    if (vk >= 256) return;
    const uint8_t old = table[vk].load();
    uint8_t v = static_cast<uint8_t>(down ? 0x80 : 0);
    v |= static_cast<uint8_t>(old & 1);
    if (down && (old & 0x80) == 0) v ^= 1;  // each new press toggles
    table[vk].store(v);
}

// The generic key of a left or right modifier moves with either.
void setWithGeneric(std::array<std::atomic<uint8_t>, 256>& table, uint32_t vk, bool down) {
    setState(table, vk, down);
    auto generic = [&](uint32_t g, uint32_t l, uint32_t r) {
        setState(table, g, (table[l].load() & 0x80) != 0 || (table[r].load() & 0x80) != 0);
    };
    if (vk == kVkLShift || vk == kVkRShift) generic(kVkShift, kVkLShift, kVkRShift);
    if (vk == kVkLControl || vk == kVkRControl) generic(kVkControl, kVkLControl, kVkRControl);
    if (vk == kVkLMenu || vk == kVkRMenu) generic(kVkMenu, kVkLMenu, kVkRMenu);
}

int16_t toShort(uint8_t v) { return static_cast<int16_t>(((v & 0x80) != 0 ? 0x8000 : 0) | (v & 1)); }

}  // namespace

uint32_t KeyMap::virtualKeyFromKeyval(uint32_t k) {
    if (k >= GDK_KEY_a && k <= GDK_KEY_z) return 'A' + (k - GDK_KEY_a);
    if (k >= GDK_KEY_A && k <= GDK_KEY_Z) return 'A' + (k - GDK_KEY_A);
    if (k >= GDK_KEY_0 && k <= GDK_KEY_9) return '0' + (k - GDK_KEY_0);
    if (k >= GDK_KEY_KP_0 && k <= GDK_KEY_KP_9) return kVkNumpad0 + (k - GDK_KEY_KP_0);
    if (k >= GDK_KEY_F1 && k <= GDK_KEY_F24) return kVkF1 + (k - GDK_KEY_F1);
    switch (k) {
    case GDK_KEY_BackSpace: return kVkBack;
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab: return kVkTab;
    case GDK_KEY_Clear:
    case GDK_KEY_KP_Begin: return 0x0C;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter: return kVkReturn;
    case GDK_KEY_Shift_L: return kVkLShift;
    case GDK_KEY_Shift_R: return kVkRShift;
    case GDK_KEY_Control_L: return kVkLControl;
    case GDK_KEY_Control_R: return kVkRControl;
    case GDK_KEY_Alt_L:
    case GDK_KEY_Meta_L: return kVkLMenu;
    case GDK_KEY_Alt_R:
    case GDK_KEY_Meta_R:
    case GDK_KEY_ISO_Level3_Shift: return kVkRMenu;
    case GDK_KEY_Pause: return kVkPause;
    case GDK_KEY_Caps_Lock: return kVkCapital;
    case GDK_KEY_Kana_Lock:
    case GDK_KEY_Hiragana_Katakana: return 0x15;
    case GDK_KEY_Kanji: return 0x19;
    case GDK_KEY_Escape: return kVkEscape;
    case GDK_KEY_Henkan: return 0x1C;
    case GDK_KEY_Muhenkan: return 0x1D;
    case GDK_KEY_space:
    case GDK_KEY_KP_Space: return kVkSpace;
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up: return kVkPrior;
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down: return kVkNext;
    case GDK_KEY_End:
    case GDK_KEY_KP_End: return kVkEnd;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home: return kVkHome;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left: return kVkLeft;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up: return kVkUp;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right: return kVkRight;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down: return kVkDown;
    case GDK_KEY_Select: return 0x29;
    case GDK_KEY_Print: return 0x2C;
    case GDK_KEY_Execute: return 0x2B;
    case GDK_KEY_Insert:
    case GDK_KEY_KP_Insert: return kVkInsert;
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete: return kVkDelete;
    case GDK_KEY_Help: return 0x2F;
    case GDK_KEY_Super_L: return 0x5B;
    case GDK_KEY_Super_R: return 0x5C;
    case GDK_KEY_Menu: return 0x5D;
    case GDK_KEY_KP_Multiply: return kVkMultiply;
    case GDK_KEY_KP_Add: return kVkAdd;
    case GDK_KEY_KP_Separator: return 0x6C;
    case GDK_KEY_KP_Subtract: return kVkSubtract;
    case GDK_KEY_KP_Decimal: return kVkDecimal;
    case GDK_KEY_KP_Divide: return kVkDivide;
    case GDK_KEY_Num_Lock: return 0x90;
    case GDK_KEY_Scroll_Lock: return 0x91;
    case GDK_KEY_semicolon:
    case GDK_KEY_colon: return 0xBA;
    case GDK_KEY_equal:
    case GDK_KEY_plus: return 0xBB;
    case GDK_KEY_comma:
    case GDK_KEY_less: return 0xBC;
    case GDK_KEY_minus:
    case GDK_KEY_underscore: return 0xBD;
    case GDK_KEY_period:
    case GDK_KEY_greater: return 0xBE;
    case GDK_KEY_slash:
    case GDK_KEY_question: return 0xBF;
    case GDK_KEY_grave:
    case GDK_KEY_asciitilde: return 0xC0;
    case GDK_KEY_bracketleft:
    case GDK_KEY_braceleft: return 0xDB;
    case GDK_KEY_backslash:
    case GDK_KEY_bar: return 0xDC;
    case GDK_KEY_bracketright:
    case GDK_KEY_braceright: return 0xDD;
    case GDK_KEY_apostrophe:
    case GDK_KEY_quotedbl: return 0xDE;
    case GDK_KEY_yen: return 0xDC;
    case GDK_KEY_at: return 0xC0;
    case GDK_KEY_asciicircum: return 0xDE;
    default: return 0;
    }
}

int16_t KeyMap::keyState(uint32_t vk) { return vk < 256 ? toShort(states().queued[vk].load()) : 0; }
int16_t KeyMap::asyncKeyState(uint32_t vk) {
    return vk < 256 ? static_cast<int16_t>(toShort(states().async[vk].load()) & 0x8000) : 0;
}

void KeyMap::noteEvent(uint32_t vk, bool down) { setWithGeneric(states().async, vk, down); }

void KeyMap::noteRetrieved(const Message& msg) {
    uint32_t vk = 0;
    bool down = false;
    switch (msg.message) {
    case kWmKeyDown:
    case kWmSysKeyDown:
        vk = static_cast<uint32_t>(msg.wParam);
        down = true;
        break;
    case kWmKeyUp:
    case kWmSysKeyUp: vk = static_cast<uint32_t>(msg.wParam); break;
    case kWmLButtonDown:
        vk = kVkLButton;
        down = true;
        break;
    case kWmLButtonUp: vk = kVkLButton; break;
    case kWmRButtonDown:
        vk = kVkRButton;
        down = true;
        break;
    case kWmRButtonUp: vk = kVkRButton; break;
    case kWmMButtonDown:
        vk = kVkMButton;
        down = true;
        break;
    case kWmMButtonUp: vk = kVkMButton; break;
    default: return;
    }
    // Key messages carry the generic modifier; the side comes from the event.
    const uint32_t side = static_cast<uint32_t>((msg.lParam >> 16) & 0x1FF);
    if (vk == kVkShift)
        vk = side == 0x36 ? kVkRShift : kVkLShift;
    else if (vk == kVkControl)
        vk = (side & 0x100) != 0 ? kVkRControl : kVkLControl;
    else if (vk == kVkMenu)
        vk = (side & 0x100) != 0 ? kVkRMenu : kVkLMenu;
    setWithGeneric(states().queued, vk, down);
}

}  // namespace Platform::window
