#include "edit/BackupHistory.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <exception>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"

namespace Edit {

bool BackupHistory::isExceptionBackup(const std::wstring& path) {
    const size_t separator = path.find_last_of(System::kPathSeparator);
    const size_t name = separator == std::wstring::npos ? 0 : separator + 1;
    return path.compare(name, std::wcslen(kExceptionPrefix), kExceptionPrefix) == 0;
}

void BackupHistory::load() {
    items_.clear();
    emergency_.clear();
    try {
        std::vector<std::wstring> names;
        for (const auto& entry : System::findFilesByPattern(System::FileName::getExpandedPath(kPattern)))
            (isExceptionBackup(entry.name) ? emergency_ : names).push_back(entry.name);
        // The folder lists in no particular order; the time-stamped names
        // sort oldest first.
        std::sort(names.begin(), names.end());
        for (const auto& name : names) items_.push_front(name);
        std::sort(emergency_.begin(), emergency_.end(), std::greater<>());
    } catch (...) {
        // No folder to list: no backups.
    }
}

std::vector<std::wstring> BackupHistory::getItemList() const {
    // The time stamp follows the prefix's "_"; a name without one sorts by
    // its whole self.
    const auto stamp = [](const std::wstring& path) {
        const size_t separator = path.find_last_of(System::kPathSeparator);
        const size_t name = separator == std::wstring::npos ? 0 : separator + 1;
        const size_t underscore = path.find(L'_', name);
        return path.substr(underscore == std::wstring::npos ? name : underscore + 1);
    };
    std::vector<std::wstring> list;
    list.reserve(items_.size() + emergency_.size());
    auto automatic = items_.begin();
    auto rescue = emergency_.begin();
    while (automatic != items_.end() || rescue != emergency_.end()) {
        const bool takeRescue =
            automatic == items_.end() || (rescue != emergency_.end() && stamp(*rescue) > stamp(*automatic));
        list.push_back(takeRescue ? *rescue++ : *automatic++);
    }
    return list;
}

void BackupHistory::remove(const std::wstring& path) {
    if (!isExceptionBackup(path)) System::File::deleteFile(path);
}

void BackupHistory::updateTimer(bool autoBackup, int32_t intervalMinutes, int32_t fileMax) {
    if (!autoBackup || intervalMinutes <= 0 || fileMax <= 0) {
        timer_.clear();
        return;
    }
    // Minutes in milliseconds overflow 32 bits for long intervals.
    const uint64_t ms =
        std::min<uint64_t>(static_cast<uint64_t>(intervalMinutes) * minuteMs_, std::numeric_limits<uint32_t>::max());
    timer_.set(static_cast<uint32_t>(ms), [this] {
        // Nothing may leave a timer callback; the save reports its own failure.
        try {
            autoBackupProject();
        } catch (const std::exception& e) {
            System::Log::error("Edit::BackupHistory::autoBackupProject", "%s", e.what());
        } catch (...) {
            System::Log::error("Edit::BackupHistory::autoBackupProject", "auto backup failed.");
        }
    });
}

void BackupHistory::autoBackupProject() {
    if (!saveProject_) return;                  // nothing to write yet
    if (hasChanges_ && !hasChanges_()) return;  // the newest backup already holds this state
    const std::wstring name = System::FileName::createTimeStampName(kFolder, kAutoPrefix, kExtension);
    System::Log::info("Edit::BackupHistory::autoBackupProject", L"auto backup : %ls", name.c_str());
    saveProject_(name);
    // Only a backup safely on disk may push the oldest one out; a save that
    // reports its failure itself returns without a file.
    if (System::File::exists(name)) addItem(name);
}

}  // namespace Edit
