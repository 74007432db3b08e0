#include "ui/dialogs/NameCharacters.h"

#include "ui/framework/ToolTips.h"

namespace Dialog {

bool hasRefusedNameCharacter(const std::wstring& name) {
    return name.find_first_of(L"\\/:*?\"'<>|%=,.") != std::wstring::npos;
}

void showRefusedNameCharacters(Platform::window::DialogWindow& dialog, int32_t control) {
    Window::ToolTips::showBelow(dialog.controlScreenRect(control), L"使用できない文字が含まれています",
                                L"  \\ / :*? \"'<>|%=,.");
}

}  // namespace Dialog
