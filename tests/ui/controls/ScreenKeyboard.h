#pragma once
#include <cstdint>
#include <initializer_list>

// The test screen's keyboard: spare keys made to give the letters a test
// types, so xdotool presses them as a user of such a keyboard would (a key it
// maps only for the moment is gone again before the window can look it up).
namespace TestSupport {

// Binds the key symbols (X key symbols; 0x1000000 + code point for any
// letter) to the highest key codes of the display the window layer uses.
void addScreenKeys(std::initializer_list<uint32_t> symbols);

}  // namespace TestSupport
