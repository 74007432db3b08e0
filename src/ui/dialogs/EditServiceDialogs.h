#pragma once
#include <string>

#include "edit/EditDialogs.h"

namespace Dialog {

// The edit service's message boxes. The scene, name and save dialogs still
// answer from the headless queues until the program's export and project
// commands are driven through the real file dialogs.
class EditServiceDialogs : public Edit::HeadlessDialogs {
public:
    bool askOkCancel(const std::wstring& text) override;
    // Logged as built in, boxed in the active language.
    void showError(const std::wstring& text) override;
    void showApplicationException(const std::string& text) override;
    // Loading and saving show their text in the footer bar's progress place.
    void setFooterText(const std::wstring& text) override;
};

}  // namespace Dialog
