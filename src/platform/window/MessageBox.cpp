#include "platform/window/MessageBox.h"

#include <cstdio>
#include <mutex>

namespace Platform::window {
namespace {
std::mutex g_hookMutex;
MessageBoxHook g_hook;

int defaultAnswer(uint32_t style) {
    switch (style & 0xF) {
    case kMbYesNo:
    case kMbYesNoCancel: return kIdYes;
    default: return kIdOk;
    }
}
}  // namespace

MessageBoxHook setMessageBoxHook(MessageBoxHook hook) {
    std::lock_guard lock(g_hookMutex);
    std::swap(g_hook, hook);
    return hook;
}

int messageBox(WindowHandle owner, const std::string& text, const std::string& title, uint32_t style) {
    MessageBoxHook hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_hook;
    }
    if (hook) return hook(MessageBoxRequest{owner, text, title, style});
    // Without a display the question goes to standard error with its default answer.
    std::fprintf(stderr, "[%s]\n%s\n", title.c_str(), text.c_str());
    return defaultAnswer(style);
}

}  // namespace Platform::window
