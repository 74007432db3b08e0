#include "platform/os/ErrorText.h"

#include <cerrno>
#include <cstring>

namespace Platform::os {

int32_t lastError() { return errno; }
void setLastError(int32_t code) { errno = code; }

std::string resultMessage(Result result) {
    const auto code = static_cast<uint32_t>(result);
    switch (code) {
    case 0: return "The operation completed successfully.";
    case 0x80004005u: return "Unspecified error";
    case 0x80004001u: return "Not implemented";
    case 0x80004002u: return "No such interface supported";
    case 0x80004003u: return "Invalid pointer";
    case 0x8000FFFFu: return "Catastrophic failure";
    case 0x80070057u: return "The parameter is incorrect.";
    case 0x8007000Eu: return "Not enough memory resources are available to complete this operation.";
    default: break;
    }
    if ((code & 0xFFFF0000u) == 0x80070000u) {
        char buffer[256];
        // GNU strerror_r returns the text, which may or may not be in buffer.
        const char* text = strerror_r(static_cast<int>(code & 0xFFFFu), buffer, sizeof buffer);
        if (text != nullptr && std::strncmp(text, "Unknown error", 13) != 0) return text;
    }
    return "unknown error";
}

std::string programCodeMessage(int32_t code) {
    switch (code) {
    case kErrorOutOfMemory: return "Not enough memory resources are available to complete this operation.";
    case kErrorWriteFault: return "The system cannot write to the specified device.";
    case kErrorReadFault: return "The system cannot read from the specified device.";
    case kErrorBrokenPipe: return "The pipe has been ended.";
    default: return resultMessage(resultFromSystemError(code));
    }
}

}  // namespace Platform::os
