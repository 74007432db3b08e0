#include "ui/framework/ShortcutList.h"

#include <algorithm>
#include <exception>

#include "core/File.h"
#include "core/FileName.h"
#include "core/IniFile.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "edit/UndoService.h"
#include "platform/window/KeyMap.h"
#include "ui/framework/MenuText.h"

namespace Window {

namespace {

constexpr const char* kSection = "shortcut";

bool parseDecimal(const std::string& text, int32_t& value) {
    if (text.empty())
        return false;
    try {
        size_t used = 0;
        long long parsed = std::stoll(text, &used, 10);
        if (used != text.size() || parsed < INT32_MIN || parsed > INT32_MAX)
            return false;
        value = static_cast<int32_t>(parsed);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

ShortcutList::ShortcutList() {
    if (auto* settings = Setting::SettingService::get()) {
        const auto& sections = settings->system.document.sections();
        auto it = sections.find("KeyCode");
        if (it != sections.end()) {
            for (const auto& [key, value] : it->second) {
                int32_t number = 0;
                if (!parseDecimal(key, number))
                    continue;
                Shortcut::setKeyName(number & Shortcut::KeyMask, System::utf8ToWide(value.text));
            }
        }
    }
    load();
}

std::wstring ShortcutList::filePath() { return System::FileName::getExpandedPath(L"%AppData%/keyboard.ini"); }

void ShortcutList::load() {
    constexpr const char* kScope = "Window::ShortcutList::load";
    userCodes.clear();
    System::IniFile file;
    file.loadFile(filePath());
    for (int32_t n = 0;; ++n) {
        const std::string name = std::string(kSection) + "." + std::to_string(n);
        auto it = file.sections().find(name);
        if (it == file.sections().end() || it->second.empty())
            break;
        auto nameValue = it->second.find("name");
        auto codeValue = it->second.find("code");
        int32_t code = 0;
        if (nameValue == it->second.end() || codeValue == it->second.end()) {
            System::Log::warn(kScope, "section [%s] lacks \"name\" or \"code\"; skipped", name.c_str());
            continue;
        }
        if (!parseDecimal(codeValue->second.text, code)) {
            System::Log::warn(kScope, "section [%s] has a code that is no number; skipped", name.c_str());
            continue;
        }
        userCodes.emplace(System::utf8ToWide(nameValue->second.text), code);
    }
}

bool ShortcutList::save() const {
    const std::wstring path = filePath();
    System::Log::verbose("System::IniFile::Save::Save", "saveFile : %s", System::wideToUtf8(path).c_str());
    try {
        std::string text;
        int32_t n = 0;
        for (const auto& entry : entries) {
            if (entry.code == entry.defaultCode)
                continue;
            text += "[" + std::string(kSection) + "." + std::to_string(n++) + "]\r\n";
            text += "name=" + System::wideToUtf8(entry.name) + "\r\n";
            text += "code=" + std::to_string(entry.code) + "\r\n";
        }
        System::File file;
        file.open(path, 1);
        if (!text.empty())
            file.write(text.data(), static_cast<int32_t>(text.size()));
        file.close();
        return true;
    } catch (const std::exception& e) {
        System::Log::error("Window::ShortcutList::save", "failed to save %s: %s", System::wideToUtf8(path).c_str(),
                           e.what());
        return false;
    }
}

void ShortcutList::add(const std::wstring& name, int32_t defaultCode, std::function<void()> action,
                       Platform::window::MenuHandle menu, int32_t menuId, const std::wstring& displayName) {
    if (!menu && !action)
        return;
    Shortcut* holder = find(defaultCode);
    int32_t code = defaultCode;
    auto user = userCodes.find(name);
    if (user != userCodes.end()) {
        code = user->second;
        if (holder)
            holder->code = 0;
    } else if (holder) {
        code = 0;
    }
    if (menu)
        MenuText::setShortcutText(menu, menuId, Shortcut::getCodeName(code));
    Shortcut entry;
    entry.name = name;
    entry.code = code;
    entry.defaultCode = defaultCode;
    entry.action = std::move(action);
    entry.menuHandle = menu;
    entry.menuId = menuId;
    entry.displayName = displayName.empty() ? name : displayName;
    entries.push_back(std::move(entry));
}

Shortcut* ShortcutList::find(int32_t code) {
    if (code == 0)
        return nullptr;
    for (auto& entry : entries)
        if (entry.code == code)
            return &entry;
    return nullptr;
}

int32_t ShortcutList::liveCode(uint32_t virtualKey) {
    using Platform::window::KeyMap;
    int32_t code = static_cast<int32_t>(virtualKey);
    if (KeyMap::asyncKeyState(Platform::window::kVkControl) < 0)
        code += Shortcut::CtrlFlag;
    if (KeyMap::asyncKeyState(Platform::window::kVkShift) < 0)
        code += Shortcut::ShiftFlag;
    if (KeyMap::asyncKeyState(Platform::window::kVkMenu) < 0)
        code += Shortcut::AltFlag;
    return code;
}

bool ShortcutList::processKey(uint32_t virtualKey) {
    int32_t code = liveCode(virtualKey);
    Shortcut* entry = find(code);
    if (!entry) {
        code &= 0x1FFF;
        if (code == 0 || !(entry = find(code)))
            return false;
    }
    if (captureEnder_)
        captureEnder_();
    if (auto* undo = Undo::UndoService::get(); undo && undo->recording)
        return false;
    if (entry->menuHandle) {
        if (menuRunner_)
            menuRunner_(entry->menuId);
    } else if (entry->action) {
        // A copy: the action may register or remove commands.
        auto action = entry->action;
        action();
    }
    return true;
}

int32_t ShortcutList::toDefaultCode(uint32_t virtualKey) {
    Shortcut* entry = find(liveCode(virtualKey));
    return entry ? entry->defaultCode : 0;
}

void ShortcutList::remove(const std::function<bool(const Shortcut&)>& predicate) {
    entries.erase(std::remove_if(entries.begin(), entries.end(), predicate), entries.end());
}

}  // namespace Window
