#pragma once
#include <functional>
#include <string>

#include "platform/os/Result.h"

typedef struct _GFileMonitor GFileMonitor;

namespace Platform::shell {

// Watches one folder for entries created, deleted, renamed or changed; the
// callback runs on the thread that started the watch, from its main loop.
class FolderMonitor {
public:
    FolderMonitor() = default;
    ~FolderMonitor();
    FolderMonitor(const FolderMonitor&) = delete;
    FolderMonitor& operator=(const FolderMonitor&) = delete;

    // Stops any earlier watch first.
    Result start(const std::string& folder, std::function<void()> changed);
    void stop();
    bool watching() const { return monitor_ != nullptr; }

private:
    static void onChanged(GFileMonitor* monitor, void* file, void* other, int event, void* self);
    GFileMonitor* monitor_ = nullptr;
    unsigned long handler_ = 0;
    std::function<void()> changed_;
};

}  // namespace Platform::shell
