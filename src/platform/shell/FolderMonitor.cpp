#include "platform/shell/FolderMonitor.h"

#include <gio/gio.h>

#include <utility>

namespace Platform::shell {

FolderMonitor::~FolderMonitor() { stop(); }

Result FolderMonitor::start(const std::string& folder, std::function<void()> changed) {
    stop();
    GFile* file = g_file_new_for_path(folder.c_str());
    GError* error = nullptr;
    monitor_ = g_file_monitor_directory(file, G_FILE_MONITOR_WATCH_MOVES, nullptr, &error);
    g_object_unref(file);
    if (monitor_ == nullptr) {
        if (error != nullptr) g_error_free(error);
        return kFail;
    }
    // Notices come together: a burst of changes makes few calls.
    g_file_monitor_set_rate_limit(monitor_, 100);
    changed_ = std::move(changed);
    handler_ = g_signal_connect(monitor_, "changed", G_CALLBACK(onChanged), this);
    return kOk;
}

void FolderMonitor::stop() {
    if (monitor_ == nullptr) return;
    g_signal_handler_disconnect(monitor_, handler_);
    g_file_monitor_cancel(monitor_);
    g_object_unref(monitor_);
    monitor_ = nullptr;
    handler_ = 0;
    changed_ = nullptr;
}

void FolderMonitor::onChanged(GFileMonitor*, void*, void*, int event, void* self) {
    auto* watch = static_cast<FolderMonitor*>(self);
    switch (static_cast<GFileMonitorEvent>(event)) {
    case G_FILE_MONITOR_EVENT_CREATED:
    case G_FILE_MONITOR_EVENT_DELETED:
    case G_FILE_MONITOR_EVENT_MOVED_IN:
    case G_FILE_MONITOR_EVENT_MOVED_OUT:
    case G_FILE_MONITOR_EVENT_RENAMED:
    case G_FILE_MONITOR_EVENT_CHANGES_DONE_HINT:
    case G_FILE_MONITOR_EVENT_ATTRIBUTE_CHANGED:
        if (watch->changed_) {
            // The callback may stop or restart the watch.
            const std::function<void()> changed = watch->changed_;
            changed();
        }
        break;
    default: break;
    }
}

}  // namespace Platform::shell
