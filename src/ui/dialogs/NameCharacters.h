#pragma once
#include <string>

#include "platform/window/DialogWindow.h"

// Names that become parts of file names and setting keys keep out the
// characters those would read specially.
namespace Dialog {

// The refused characters: \ / : * ? " ' < > | % = , .
bool hasRefusedNameCharacter(const std::wstring& name);
// Shows "使用できない文字が含まれています" with the refused characters under the control.
void showRefusedNameCharacters(Platform::window::DialogWindow& dialog, int32_t control);

}  // namespace Dialog
