#pragma once
#include <string>

namespace Dialog {

class FileDialogTemplate;

// The open dialog over the main window. filter holds NUL-separated name and
// pattern pairs closed by an empty name; the entry naming the path's
// extension is preselected and its first extension is added to a name typed
// without one. True and the chosen path (of any length) when a file was
// chosen; Cancel leaves path as it was. Playback stops first.
bool openFileDialog(std::wstring& path, const wchar_t* filter);

// The save dialog: as the open dialog, with an overwrite question for an
// existing file, the title in the active language (null: the system's) and,
// with extra, the strip of extra controls.
bool saveFileDialog(std::wstring& path, const wchar_t* filter, const wchar_t* title = nullptr,
                    FileDialogTemplate* extra = nullptr);

}  // namespace Dialog
