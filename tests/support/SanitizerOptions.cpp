// Sanitizer defaults for every test program, so a test binary run by hand
// behaves as under CTest. The crash guard needs its own SIGSEGV handler; Mesa's
// software Vulkan driver needs a small quarantine; the leak checker ignores
// allocations that system libraries keep for the life of the process.
extern "C" {
const char* __asan_default_options() { return "quarantine_size_mb=8:allow_user_segv_handler=1"; }
const char* __lsan_default_suppressions() {
    return "leak:libvulkan_lvp.so\n"
           "leak:libLLVM\n"
           "leak:libVkLayer_khronos_validation.so\n"
           "leak:libvulkan.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\n"
           "leak:libgio-2.0.so\n"
           "leak:libgtk-3.so\n"
           "leak:libgdk-3.so\n"
           "leak:libfontconfig.so\n"
           "leak:libX11.so\n"
           "leak:libdbus-1.so\n";
}
}
