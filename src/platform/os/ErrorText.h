#pragma once
#include <string>
#include "platform/os/Result.h"

namespace Platform::os {

// The calling thread's last system error (errno), as failed layer calls leave it.
int32_t lastError();
void setLastError(int32_t code);

// The system's message for a result code, without a trailing line break:
// strerror for system error codes (0x8007xxxx), a fixed text for the common
// general results, "unknown error" for anything else.
std::string resultMessage(Result result);

// The text of an error code the program names by number itself (the codes
// below). Those numbers mean something else as errno values, so they carry
// their own texts here; any other code is read as an errno value.
std::string programCodeMessage(int32_t code);

inline constexpr int32_t kErrorOutOfMemory = 14;
inline constexpr int32_t kErrorWriteFault = 29;
inline constexpr int32_t kErrorReadFault = 30;
inline constexpr int32_t kErrorBrokenPipe = 109;

}  // namespace Platform::os
