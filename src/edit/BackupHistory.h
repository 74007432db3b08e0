#pragma once
#include <functional>

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

    // Lists the backup folder, newest (last by name) first; gives up quietly.
    void load() override;
    // Deletes the file; a file that stays is only left out of the list.
    void remove(const std::wstring& path) override;

    void setSaveProject(SaveProject save) { saveProject_ = std::move(save); }
    // Arms the timer at intervalMinutes when autoBackup is on and both the
    // interval and the file maximum are above 0; clears it otherwise.
    void updateTimer(bool autoBackup, int32_t intervalMinutes, int32_t fileMax);
    // The timer's work: writes a new "AutoBackup" file, and only once it is
    // in place enters it in the list, which deletes the oldest beyond the
    // maximum. A failed write (thrown, or leaving no file) deletes nothing.
    void autoBackupProject();

    const System::Timer& timer() const { return timer_; }

private:
    System::Timer timer_;
    SaveProject saveProject_;
};

}  // namespace Edit
