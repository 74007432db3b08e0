#pragma once
#include "platform/os/Result.h"

// Process and thread set-up calls that have no meaning on Linux. They succeed,
// so the code around them keeps its failure paths.
namespace Platform::os {

inline constexpr uint32_t kCoInitApartmentThreaded = 0x2;
inline constexpr uint32_t kCoInitMultiThreaded = 0x0;
inline constexpr uint32_t kCoInitDisableOle1Dde = 0x4;

Result coInitializeEx(uint32_t flags);
void coUninitialize();
Result oleInitialize();
void oleUninitialize();
Result setProcessDpiAwarenessPerMonitorV2();

}  // namespace Platform::os
