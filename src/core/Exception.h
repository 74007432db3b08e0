#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/os/CrashGuard.h"

// Failures are standard exceptions whose text was built by one of these
// builders. Each builder logs its one-line form at ERROR with the scope
// "Exception" and returns the exception (multi-line text, cut at 1023 bytes on a character boundary)
// for the caller to throw.
namespace System {

using HResult = int32_t;

// What the crash guard recorded of a fault in foreign code.
struct StructuredExceptionInfo {
    void* address = nullptr;
    uint32_t code = 0;
    std::string module = "unknown";
};

// 0 and below unchanged, else 0x80070000 plus the low 16 bits.
HResult hresultFromWin32(int32_t code);

std::runtime_error hresultException(const char* call, const char* scope, HResult hr);
std::runtime_error lastErrorException(const char* call, const char* scope);
std::runtime_error win32ErrorException(const char* scope, int32_t code);
std::runtime_error messageException(const char* scope, const char* message, const char* note);
std::runtime_error messageException(const char* scope, const char* message);
std::runtime_error formatException(const char* scope, const char* message, const wchar_t* noteFormat, ...);
std::runtime_error structuredException(const char* call, const char* scope, const StructuredExceptionInfo& info);

// "not implement." with the scope of the unsupported operation.
std::runtime_error notImplementException(const char* scope);

// Runs f inside the crash guard; a fault becomes structuredException(call, scope).
template <class F>
decltype(auto) guardedCall(const char* call, const char* scope, F&& f) {
    using R = decltype(f());
    Platform::os::CrashInfo crash;
    if constexpr (std::is_void_v<R>) {
        auto run = [](void* p) { (*static_cast<std::remove_reference_t<F>*>(p))(); };
        if (!Platform::os::runGuarded(run, &f, crash))
            throw structuredException(call, scope, {crash.address, crash.code, crash.module});
    } else {
        struct Context {
            std::remove_reference_t<F>* f;
            R result;
        } context{&f, R{}};
        auto run = [](void* p) {
            auto* c = static_cast<Context*>(p);
            c->result = (*c->f)();
        };
        if (!Platform::os::runGuarded(run, &context, crash))
            throw structuredException(call, scope, {crash.address, crash.code, crash.module});
        return context.result;
    }
}

}  // namespace System
