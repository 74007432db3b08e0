#include "core/Process.h"

#include "core/Exception.h"
#include "core/SettingService.h"
#include "platform/os/Thread.h"

namespace System::Process {

void SetThreadPriority(const char* setting) {
    try {
        const Setting::SettingService* settings = Setting::SettingService::get();
        if (settings == nullptr) return;
        // A read-only lookup: worker threads call this while others read the document too.
        const int32_t priority =
            settings->system.document.getSection(settings->system.config.name).findValue(setting).toInt(0);
        if (priority == 0) return;
        if (Platform::failed(Platform::os::setCurrentThreadPriority(priority)))
            throw lastErrorException("::SetThreadPriority", "System::Process::SetThreadPriority");
    } catch (const std::exception&) {
        // Already logged; the thread keeps its priority.
    }
}

}  // namespace System::Process
