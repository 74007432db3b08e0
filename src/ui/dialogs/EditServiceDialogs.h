#pragma once
#include <functional>
#include <string>

#include "edit/EditDialogs.h"

namespace Dialog {

// The edit service's dialogs, message boxes and its save dialog, shown in
// the window layer.
class EditServiceDialogs : public Edit::HeadlessDialogs {
public:
    bool sceneDialog(const std::wstring& title, bool withName, Edit::SceneValues& values) override;
    bool inputName(const std::wstring& title, std::wstring& name) override;
    bool aliasDialog(const std::wstring& captionSuffix, std::wstring& name, std::wstring& label) override;
    bool frameLengthDialog(const std::wstring& title, int32_t rate, int32_t scale, int32_t& frames) override;
    bool saveFileDialog(std::wstring& path, const wchar_t* filter) override;
    bool askOkCancel(const std::wstring& text) override;
    // Logged as built in, boxed in the active language.
    void showError(const std::wstring& text) override;
    // Kept until the main window exists, as every posted error; shown at
    // once when the window is already gone.
    void postError(const std::wstring& text) override;
    void showApplicationException(const std::string& text) override;
    // Kept as the headless dialogs keep it, and handed on to footerText.
    void setFooterText(const std::wstring& text) override;

    // Where the program shows the footer text (the main window's footer bar).
    std::function<void(const std::wstring&)> footerText;
};

}  // namespace Dialog
