#pragma once
#include <string>

namespace Dialog {

// An OK / Cancel warning box under the product caption; true when OK was
// chosen. Without a main window the box is task-modal and has no owner.
bool askQuestion(const std::wstring& question);

}  // namespace Dialog
