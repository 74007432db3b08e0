#include "ui/dialogs/EditServiceDialogs.h"

#include <stdexcept>

#include "ui/dialogs/FileDialogs.h"
#include "ui/dialogs/PostError.h"
#include "ui/dialogs/ShowError.h"
#include "ui/dialogs/ShowException.h"

namespace Dialog {

bool EditServiceDialogs::saveFileDialog(std::wstring& path, const wchar_t* filter) {
    return Dialog::saveFileDialog(path, filter);
}

bool EditServiceDialogs::askOkCancel(const std::wstring& text) { return showConfirm(text); }

void EditServiceDialogs::showError(const std::wstring& text) { showErrorText(text); }

void EditServiceDialogs::postError(const std::wstring& text) {
    if (!Dialog::postError(L"%ls", text.c_str())) showErrorText(text);
}

void EditServiceDialogs::showApplicationException(const std::string& text) { showException(std::runtime_error(text)); }

void EditServiceDialogs::setFooterText(const std::wstring& text) {
    HeadlessDialogs::setFooterText(text);
    if (footerText) footerText(text);
}

}  // namespace Dialog
