#include "platform/os/DynamicLibrary.h"

#include <dlfcn.h>

#include <cerrno>

#include "platform/os/ErrorText.h"

namespace Platform::os {

namespace {

std::string takeLoaderError() {
    const char* text = dlerror();
    return text != nullptr ? std::string(text) : std::string();
}

}  // namespace

Result DynamicLibrary::open(const std::string& fileName) {
    close();
    (void)dlerror();
    handle_ = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        errorText_ = takeLoaderError();
        setLastError(ENOENT);
        return resultFromSystemError(ENOENT);
    }
    errorText_.clear();
    return kOk;
}

void DynamicLibrary::close() {
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

void* DynamicLibrary::symbol(const char* name) {
    if (handle_ == nullptr) {
        setLastError(ENOENT);
        return nullptr;
    }
    (void)dlerror();
    void* address = dlsym(handle_, name);
    if (address == nullptr) {
        errorText_ = takeLoaderError();
        setLastError(ENOSYS);
    }
    return address;
}

}  // namespace Platform::os
