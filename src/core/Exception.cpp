#include "core/Exception.h"

#include <cstdarg>

#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "platform/os/ErrorText.h"

namespace System {
namespace {

constexpr size_t kTextSize = 1024;
constexpr const char* kLogScope = "Exception";

std::string systemMessage(HResult hr) { return Platform::os::resultMessage(hr); }

std::runtime_error make(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::runtime_error make(const char* format, ...) {
    char text[kTextSize];
    va_list args;
    va_start(args, format);
    vformatText(text, sizeof text, format, args);
    va_end(args);
    return std::runtime_error(text);
}

std::runtime_error withNote(const char* scope, const char* message, const char* note) {
    Log::error(kLogScope, "%s in %s() [%s]", message, scope, note);
    return make("%s\n\n[Note]\n%s\n\n[Place]\n%s()", message, note, scope);
}

}  // namespace

HResult hresultFromWin32(int32_t code) { return Platform::resultFromSystemError(code); }

std::runtime_error hresultException(const char* call, const char* scope, HResult hr) {
    const std::string message = systemMessage(hr);
    const auto code = static_cast<uint32_t>(hr);
    Log::error(kLogScope, "%s() failed in %s() [%s] (HRESULT: 0x%08X)", call, scope, message.c_str(), code);
    return make("%s() failed.\n\n[Note]\nHRESULT: 0x%08X\n%s\n\n[Place]\n%s()", call, code, message.c_str(), scope);
}

std::runtime_error lastErrorException(const char* call, const char* scope) {
    return hresultException(call, scope, hresultFromWin32(Platform::os::lastError()));
}

std::runtime_error win32ErrorException(const char* scope, int32_t code) {
    const std::string message = Platform::os::programCodeMessage(code);
    Log::error(kLogScope, "%s in %s()", message.c_str(), scope);
    return make("%s\n\n[Place]\n%s()", message.c_str(), scope);
}

std::runtime_error messageException(const char* scope, const char* message, const char* note) {
    return withNote(scope, message, note);
}

std::runtime_error messageException(const char* scope, const char* message) {
    Log::error(kLogScope, "%s in %s()", message, scope);
    return make("%s\n\n[Place]\n%s()", message, scope);
}

std::runtime_error formatException(const char* scope, const char* message, const wchar_t* noteFormat, ...) {
    va_list args;
    va_start(args, noteFormat);
    const std::wstring note = vformatWide(kTextSize - 1, noteFormat, args);
    va_end(args);
    return withNote(scope, message, wideToUtf8(note).c_str());
}

std::runtime_error structuredException(const char* call, const char* scope, const StructuredExceptionInfo& info) {
    Log::error(kLogScope, "%s() structured exception in %s() [Code: 0x%08X Address: 0x%p Module: %s]", call, scope,
               info.code, info.address, info.module.c_str());
    return make("%s() structured exception\n\n[Note]\nCode: 0x%08X\nAddress 0x%p\nModule: %s\n\n[Place]\n%s()", call,
                info.code, info.address, info.module.c_str(), scope);
}

std::runtime_error notImplementException(const char* scope) { return messageException(scope, "not implement."); }

}  // namespace System
