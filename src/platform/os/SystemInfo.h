#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/Result.h"

// Desktop-wide values the program reads once at start-up.
namespace Platform::os {

// In the units of the program's settings: keyboard delay 0..3 (250 ms steps
// from 250), keyboard speed 0..31, times in milliseconds, drag box in pixels.
struct InputTimings {
    int32_t keyboardDelay = 1;
    int32_t keyboardSpeed = 31;
    int32_t caretBlinkTime = 530;
    int32_t dragWidth = 4;
    int32_t dragHeight = 4;
    int32_t doubleClickTime = 500;
};

// Linux keeps these per toolkit, not per desktop; the program gets the usual
// defaults, which is what it would see on an untouched desktop.
Result inputTimings(InputTimings& out);

// Installed memory in kilobytes.
Result installedMemoryKb(uint64_t& out);

// The user's UI language as a locale name ("ja_JP.UTF-8", "en"): the first
// of LANGUAGE, LC_ALL, LC_MESSAGES and LANG that is set; "C" when none is.
std::string userUiLanguage();

// The process's own command line, the program's name first; false (lastError
// set) when it cannot be read.
bool commandLineArguments(std::vector<std::string>& out);

// The dots per inch the program scales for: the display's resolution times
// its integer scale factor, as the window layer reads them from the display
// (96 and 1 without one). The desktop's variables override them when set to
// a usable value: GDK_SCALE the scale factor, GDK_DPI_SCALE the resolution
// (as a factor of 96).
uint32_t systemDpi(double displayResolution = 96, int32_t displayScale = 1);

}  // namespace Platform::os
