// Linked into the sanitizer build of the program itself: the software Vulkan
// driver stays loaded to the end of the process, so that the leak checker can
// name it in the suppressions (SanitizerOptions.cpp) instead of reporting an
// unknown module.
#include <dlfcn.h>

namespace {

[[gnu::constructor]] void keepDriverLoaded() { dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE); }

}  // namespace
