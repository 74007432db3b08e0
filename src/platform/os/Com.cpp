#include "platform/os/Com.h"

namespace Platform::os {

Result coInitializeEx(uint32_t) { return kOk; }
void coUninitialize() {}
Result oleInitialize() { return kOk; }
void oleUninitialize() {}
Result setProcessDpiAwarenessPerMonitorV2() { return kOk; }

}  // namespace Platform::os
