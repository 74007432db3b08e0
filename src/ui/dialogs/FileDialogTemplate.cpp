#include "ui/dialogs/FileDialogTemplate.h"

#include "core/TextConvert.h"

namespace Dialog {

void FileDialogTemplate::setItemText(uint16_t id, const std::wstring& text) {
    setControlText(id, System::wideToUtf8(text));
}

std::wstring FileDialogTemplate::itemText(uint16_t id) const { return System::utf8ToWide(controlText(id)); }

}  // namespace Dialog
