#pragma once
#include <string>

namespace Dialog {

// An information box under the product caption, owned by the main window
// (task-modal while there is none).
void showNotice(const std::wstring& text);

}  // namespace Dialog
