#pragma once
#include <string>

#include "platform/os/Result.h"

// A shared library loaded at run time by its file name. A name without a
// folder is found through the system's library search order. A failure leaves
// the last error set (ENOENT for a library that cannot be loaded, ENOSYS for a
// missing symbol) and the loader's own text in errorText().
namespace Platform::os {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary() { close(); }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    Result open(const std::string& fileName);
    void close();
    bool loaded() const { return handle_ != nullptr; }

    // The address of an exported symbol, or null (last error set).
    void* symbol(const char* name);

    const std::string& errorText() const { return errorText_; }
    // The loader's handle of the library (what a plug-in is told is its module).
    void* nativeHandle() const { return handle_; }

private:
    void* handle_ = nullptr;
    std::string errorText_;
};

}  // namespace Platform::os
