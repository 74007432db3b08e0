#include "ui/framework/NotifyIcon.h"

#include "core/EventService.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/Timer.h"
#include "platform/notify/Notify.h"

namespace Window {
namespace {

constexpr size_t kTitleLength = 63;
constexpr size_t kTextLength = 255;

bool shown = false;
// The event service whose exit list removes the notice (once per service).
const Event::EventService* exitRegistered = nullptr;

// Kept to the end of the process: the message queue it belongs to may go first.
System::Timer& lifeTimer() {
    static System::Timer* timer = new System::Timer;
    return *timer;
}

void logFailure(const std::string& text) { System::Log::warn("Window::addNotifyIcon", "%s", text.c_str()); }

}  // namespace

void addNotifyIcon(const std::wstring& title, const std::wstring& text) {
    Event::EventService* events = Event::EventService::get();
    if (events != nullptr && exitRegistered != events) {
        exitRegistered = events;
        events->exitListeners.add([] { removeNotifyIcon(); });
    }
    removeNotifyIcon();
    static const bool listening = [] {
        (void)Platform::notify::setErrorListener(logFailure);
        return true;
    }();
    (void)listening;
    Platform::notify::Notice notice;
    notice.title = System::wideToUtf8(title.substr(0, kTitleLength));
    notice.body = System::wideToUtf8(text.substr(0, kTextLength));
    // The program's icon beside the installed program.
    notice.icon = System::wideToUtf8(System::FileName::getExpandedPath(L"%AppInstall%/icons/107.png"));
    notice.timeoutMs = static_cast<int32_t>(kNotifyIconLifeMs);
    Platform::notify::show(notice);
    shown = true;
    lifeTimer().set(kNotifyIconLifeMs, [] { removeNotifyIcon(); });
}

void removeNotifyIcon() {
    if (!shown) return;
    Platform::notify::close();
    shown = false;
    lifeTimer().clear();
}

bool notifyIconShown() { return shown; }

}  // namespace Window
