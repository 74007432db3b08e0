#include "ui/framework/Shortcut.h"

#include <mutex>
#include <unordered_map>

#include "core/Log.h"

namespace Window {

namespace {

std::unordered_map<int32_t, std::wstring> buildNames() {
    std::unordered_map<int32_t, std::wstring> names;
    names[0] = L"";
    for (int32_t c = 'A'; c <= 'Z'; ++c)
        names[c] = std::wstring(1, static_cast<wchar_t>(c));
    for (int32_t c = '0'; c <= '9'; ++c)
        names[c] = std::wstring(1, static_cast<wchar_t>(c));
    names[8] = L"BackSpace";
    names[9] = L"Tab";
    names[13] = L"Enter";
    names[32] = L"Space";
    names[45] = L"Insert";
    names[46] = L"Delete";
    names[36] = L"Home";
    names[35] = L"End";
    names[33] = L"PageUp";
    names[34] = L"PageDown";
    names[38] = L"\u2191";
    names[40] = L"\u2193";
    names[37] = L"\u2190";
    names[39] = L"\u2192";
    for (int32_t i = 0; i <= 9; ++i)
        names[96 + i] = std::to_wstring(i) + L" (NumPad)";
    names[111] = L"/ (NumPad)";
    names[106] = L"* (NumPad)";
    names[109] = L"- (NumPad)";
    names[107] = L"+ (NumPad)";
    names[110] = L". (NumPad)";
    for (int32_t i = 1; i <= 12; ++i)
        names[111 + i] = L"F" + std::to_wstring(i);
    return names;
}

std::mutex& namesLock() {
    static std::mutex lock;
    return lock;
}

std::unordered_map<int32_t, std::wstring>& keyNames() {
    static std::unordered_map<int32_t, std::wstring> names = buildNames();
    return names;
}

}  // namespace

std::wstring Shortcut::getCodeName(int32_t code) {
    if (code == 0)
        return {};
    std::wstring key;
    {
        std::lock_guard guard(namesLock());
        auto it = keyNames().find(code & KeyMask);
        if (it == keyNames().end()) {
            System::Log::warn("Window::Shortcut::getCodeName", "invalid shortcut key code. %08x",
                              static_cast<unsigned>(code));
            return {};
        }
        key = it->second;
    }
    std::wstring name;
    if (code & CtrlFlag)
        name += L"Ctrl+";
    if (code & ShiftFlag)
        name += L"Shift+";
    if (code & AltFlag)
        name += L"Alt+";
    return name + key;
}

void Shortcut::setKeyName(int32_t keyNumber, const std::wstring& name) {
    if (name.empty())
        return;
    std::lock_guard guard(namesLock());
    keyNames()[keyNumber & KeyMask] = name;
}

bool Shortcut::hasKeyName(int32_t keyNumber) {
    std::lock_guard guard(namesLock());
    return keyNames().count(keyNumber & KeyMask) != 0;
}

}  // namespace Window
