#pragma once
#include <cstdint>
#include <string>

// The crash guard around foreign code (plug-ins, codecs). A hardware fault
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL) raised on the calling thread while a
// guarded call runs returns control to the guard with what happened; outside
// a guard the signal keeps its previous action.
namespace Platform::os {

struct CrashInfo {
    void* address = nullptr;  // the faulting instruction
    uint32_t code = 0;        // Windows-style exception code (0xC0000005 access violation ...)
    std::string module;       // file name of the shared object holding the address, else "unknown"
};

inline constexpr uint32_t kAccessViolation = 0xC0000005u;
inline constexpr uint32_t kInPageError = 0xC0000006u;
inline constexpr uint32_t kIllegalInstruction = 0xC000001Du;
inline constexpr uint32_t kFloatDivideByZero = 0xC000008Eu;
inline constexpr uint32_t kFloatInvalidOperation = 0xC0000090u;
inline constexpr uint32_t kIntegerDivideByZero = 0xC0000094u;
inline constexpr uint32_t kIntegerOverflow = 0xC0000095u;

// Runs fn(context). Returns true when it returned normally, false when it
// faulted (info is filled). C++ exceptions thrown by fn pass through.
bool runGuarded(void (*fn)(void*), void* context, CrashInfo& info);

// File name (no folder) of the loaded shared object that holds the address,
// or "unknown".
std::string moduleNameOf(const void* address);

}  // namespace Platform::os
