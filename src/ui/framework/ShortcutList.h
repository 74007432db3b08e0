#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/ServiceHolder.h"
#include "ui/framework/Shortcut.h"

namespace Window {

// Every command that can have a key, in registration order, with the user's
// keys from "%AppData%/keyboard.ini". A process-wide service made after the
// event service and before the input router and the window service.
class ShortcutList {
public:
    // Runs the menu bar's command under an id (installed by the window service).
    using MenuCommandRunner = std::function<void(int32_t id)>;
    // Ends a capture of the input router before a shortcut runs.
    using CaptureEnder = std::function<void()>;

    // Names the keys of the "KeyCode" section of system.conf, then loads.
    ShortcutList();
    ShortcutList(const ShortcutList&) = delete;
    ShortcutList& operator=(const ShortcutList&) = delete;

    static ShortcutList* get() { return System::ServiceSlot<ShortcutList>::instance; }

    static std::wstring filePath();
    // Reads the user's keys; a section without a name or a valid code is
    // skipped with a warning, reading stops at the first missing section.
    void load();
    // Writes the entries whose key differs from their default through a
    // temporary file; false (logged) when the file could not be written.
    bool save() const;

    // Registers a command (name untranslated, display name as shown to the
    // user; empty means the name).
    void add(const std::wstring& name, int32_t defaultCode, std::function<void()> action,
             Platform::window::MenuHandle menu = nullptr, int32_t menuId = 0, const std::wstring& displayName = {});
    // The first entry holding the code; null for code 0 or none.
    Shortcut* find(int32_t code);
    // Runs the command bound to the key and the live modifiers; whether the key was used.
    bool processKey(uint32_t virtualKey);
    int32_t toDefaultCode(uint32_t virtualKey);
    void remove(const std::function<bool(const Shortcut&)>& predicate);

    // The code of the key with the modifiers held now.
    static int32_t liveCode(uint32_t virtualKey);

    void setMenuCommandRunner(MenuCommandRunner runner) { menuRunner_ = std::move(runner); }
    void setCaptureEnder(CaptureEnder ender) { captureEnder_ = std::move(ender); }

    std::vector<Shortcut> entries;
    std::unordered_map<std::wstring, int32_t> userCodes;

private:
    MenuCommandRunner menuRunner_;
    CaptureEnder captureEnder_;
};

}  // namespace Window
