#include "platform/window/KeyMap.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

namespace {
namespace W = Platform::window;

TEST(KeyMap, GdkKeysBecomeTheStoredVirtualKeys) {
    struct Case {
        unsigned keyval;
        uint32_t vk;
    };
    const Case cases[] = {
        {GDK_KEY_a, 'A'},        {GDK_KEY_Z, 'Z'},          {GDK_KEY_0, '0'},         {GDK_KEY_F1, 0x70},
        {GDK_KEY_F12, 0x7B},     {GDK_KEY_Return, 0x0D},    {GDK_KEY_KP_Enter, 0x0D}, {GDK_KEY_Escape, 0x1B},
        {GDK_KEY_space, 0x20},   {GDK_KEY_Left, 0x25},      {GDK_KEY_Down, 0x28},     {GDK_KEY_Delete, 0x2E},
        {GDK_KEY_KP_5, 0x65},    {GDK_KEY_KP_Add, 0x6B},    {GDK_KEY_Shift_L, 0xA0},  {GDK_KEY_Control_R, 0xA3},
        {GDK_KEY_Alt_L, 0xA4},   {GDK_KEY_comma, 0xBC},     {GDK_KEY_minus, 0xBD},    {GDK_KEY_bracketleft, 0xDB},
        {GDK_KEY_Page_Up, 0x21}, {GDK_KEY_BackSpace, 0x08}, {GDK_KEY_Tab, 0x09},      {GDK_KEY_Home, 0x24},
        {GDK_KEY_dead_acute, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(W::KeyMap::virtualKeyFromKeyval(c.keyval), c.vk) << std::hex << c.keyval;
}

TEST(KeyMap, StateFollowsTheMessagesTaken) {
    const auto shiftDown = [](bool right) {
        W::Message m;
        m.message = W::kWmKeyDown;
        m.wParam = W::kVkShift;
        m.lParam = static_cast<intptr_t>((right ? 0x36 : 0x2A) << 16);
        return m;
    };
    W::KeyMap::noteRetrieved(shiftDown(true));
    EXPECT_NE(W::getKeyState(W::kVkShift) & 0x8000, 0);
    EXPECT_NE(W::getKeyState(W::kVkRShift) & 0x8000, 0);
    EXPECT_EQ(W::getKeyState(W::kVkLShift) & 0x8000, 0);
    W::Message up = shiftDown(true);
    up.message = W::kWmKeyUp;
    W::KeyMap::noteRetrieved(up);
    EXPECT_EQ(W::getKeyState(W::kVkShift) & 0x8000, 0);

    // Each press toggles the low bit.
    W::Message capsDown;
    capsDown.message = W::kWmKeyDown;
    capsDown.wParam = W::kVkCapital;
    W::Message capsUp = capsDown;
    capsUp.message = W::kWmKeyUp;
    const int before = W::getKeyState(W::kVkCapital) & 1;
    W::KeyMap::noteRetrieved(capsDown);
    W::KeyMap::noteRetrieved(capsUp);
    EXPECT_EQ(W::getKeyState(W::kVkCapital) & 1, before ^ 1);
}

}  // namespace
