#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/Message.h"

namespace Platform::window {

// Controls of the strip a save dialog may carry below its file chooser.
inline constexpr uint16_t kStripTextId = 1003;    // the setting text
inline constexpr uint16_t kStripButtonId = 1002;  // the settings button

// The strip's owner: told when the strip opens, is resized, closes and when
// its button is pressed. Control texts set while the strip is not shown are
// kept and shown when it opens.
class FileDialogStrip {
public:
    virtual ~FileDialogStrip();
    virtual void stripOpened() {}
    virtual void stripResized() {}
    virtual void stripClosed() {}
    virtual void stripCommand(uint16_t id) { (void)id; }

    void setControlText(uint16_t id, const std::string& text);  // UTF-8
    std::string controlText(uint16_t id) const;

private:
    friend struct FileDialogStripAccess;
    std::map<uint16_t, std::string> texts_;
    std::map<uint16_t, void*> widgets_;  // the shown controls while open
};

struct FileFilterEntry {
    std::string name;                   // UTF-8
    std::vector<std::string> patterns;  // "*.png" ...
};

struct FileDialogRequest {
    WindowHandle owner = nullptr;
    bool save = false;
    std::string title;  // UTF-8; empty gives the system's caption
    std::vector<FileFilterEntry> filters;
    int filterIndex = 0;           // 1-based preselected entry; 0 lets the first be chosen
    std::string path;              // UTF-8, any length
    std::string defaultExtension;  // added to a chosen name without one; empty adds none
    bool overwritePrompt = false;
    FileDialogStrip* strip = nullptr;  // save dialogs only
};

// The scripted-answer hook: when set, every file dialog is answered by it
// instead of being shown; nullopt is Cancel. The answer then goes through the
// same default-extension and overwrite rules as a real choice. Returns the
// previous hook.
using FileDialogHook = std::function<std::optional<std::string>(const FileDialogRequest&)>;
FileDialogHook setFileDialogHook(FileDialogHook hook);

// Shows the modal open or save dialog and returns the chosen path (UTF-8),
// nullopt for Cancel. The default extension is added to a name that has
// none; with the overwrite prompt an existing file is confirmed through a
// Yes/No message box, and No shows the dialog again. Without a display (and
// no hook) it cancels at once.
std::optional<std::string> fileDialog(const FileDialogRequest& request);

}  // namespace Platform::window
