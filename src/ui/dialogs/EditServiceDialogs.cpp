#include "ui/dialogs/EditServiceDialogs.h"

#include <stdexcept>

#include "ui/dialogs/DialogItemInteger.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/dialogs/FrameLengthDialog.h"
#include "ui/dialogs/AliasDialog.h"
#include "ui/dialogs/InputStringDialog.h"
#include "ui/dialogs/SceneDialog.h"
#include "ui/dialogs/PostError.h"
#include "ui/dialogs/ShowError.h"
#include "ui/dialogs/ShowException.h"

namespace Dialog {

bool EditServiceDialogs::sceneDialog(const std::wstring& title, bool withName, Edit::SceneValues& values) {
    SceneDialog dialog(title.c_str());
    return dialog.open(withName ? &values.name : nullptr, &values.width, &values.height, &values.rate,
                       &values.scale, &values.audioRate);
}

bool EditServiceDialogs::inputName(const std::wstring& title, std::wstring& name) {
    InputStringDialog dialog(title.c_str());
    return dialog.open(name, true);
}

bool EditServiceDialogs::aliasDialog(const std::wstring& captionSuffix, std::wstring& name, std::wstring& label) {
    AliasDialog dialog(captionSuffix);
    return dialog.show(name, label);
}

bool EditServiceDialogs::frameLengthDialog(const std::wstring& title, int32_t rate, int32_t scale,
                                           int32_t& frames) {
    FrameLengthDialog dialog(title.c_str(), rate, scale);
    dialog.addItems(frames);
    if (!dialog.create()) return false;
    frames = dialog.frames->value;
    return true;
}

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
