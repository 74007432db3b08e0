#pragma once
#include <functional>
#include <string>
#include <vector>

#include "core/Timer.h"
#include "edit/FileHistory.h"

namespace Edit {

// The backup files in the backup folder and the automatic backup timer. The
// edit service owns one, gives it its quiet project save and arms the timer
// from its "Edit" settings.
class BackupHistory : public FileHistory {
public:
    static constexpr const wchar_t* kFolder = L"%Backup%/";
    static constexpr const wchar_t* kPattern = L"%Backup%/*.vpj2";
    static constexpr const wchar_t* kAutoPrefix = L"AutoBackup";
    static constexpr const wchar_t* kExceptionPrefix = L"ExceptionBackup";
    static constexpr const wchar_t* kExtension = L"vpj2";

    // Writes the open project to the path; a failure throws or leaves no file.
    using SaveProject = std::function<void(const std::wstring& path)>;
    // Whether the project changed since the last backup.
    using HasChanges = std::function<bool()>;

    // Lists the backup folder, newest (last by name) first; gives up quietly.
    // Emergency backups are kept apart: they are listed but never pruned.
    void load() override;
    // The automatic and emergency backups together, newest first by their
    // time stamps.
    std::vector<std::wstring> getItemList() const override;
    // Deletes the file (never an emergency backup); a file that stays is only
    // left out of the list.
    void remove(const std::wstring& path) override;

    void setSaveProject(SaveProject save) { saveProject_ = std::move(save); }
    // Without it every tick writes a backup.
    void setHasChanges(HasChanges hasChanges) { hasChanges_ = std::move(hasChanges); }
    // Milliseconds per minute of the interval (shorter in tests).
    void setMinuteLength(uint32_t ms) { minuteMs_ = ms == 0 ? 1 : ms; }
    // Arms the timer at intervalMinutes when autoBackup is on and both the
    // interval and the file maximum are above 0; clears it otherwise.
    void updateTimer(bool autoBackup, int32_t intervalMinutes, int32_t fileMax);
    void stopTimer() { timer_.clear(); }
    // The timer's work: unless nothing changed since the last backup, writes
    // a new "AutoBackup" file, and only once it is in place enters it in the
    // list, which deletes the oldest beyond the maximum. A failed write
    // (thrown, or leaving no file) deletes nothing.
    void autoBackupProject();
    // Whether the path names an emergency backup.
    static bool isExceptionBackup(const std::wstring& path);

    const System::Timer& timer() const { return timer_; }

private:
    System::Timer timer_;
    SaveProject saveProject_;
    HasChanges hasChanges_;
    uint32_t minuteMs_ = 60000;
    std::vector<std::wstring> emergency_;  // newest first
};

}  // namespace Edit
