#pragma once
// The text conversions live in the platform layer, which needs them itself;
// the program keeps calling them by these names.
#include "platform/os/TextConvert.h"

namespace System {

using Platform::os::isValidUtf8;
using Platform::os::utf16ToUtf8;
using Platform::os::utf16ToWide;
using Platform::os::utf8ToUtf16;
using Platform::os::utf8ToWide;
using Platform::os::wideToUtf16;
using Platform::os::wideToUtf8;

}  // namespace System
