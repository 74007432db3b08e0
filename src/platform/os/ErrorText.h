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

}  // namespace Platform::os
