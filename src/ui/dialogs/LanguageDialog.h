#pragma once
#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// The language of the user interface: "Default" (the built-in texts) or one
// of the language files. OK reloads the texts and rebuilds the windows.
class LanguageDialog : public DialogTemplate {
public:
    using DialogTemplate::DialogTemplate;
    bool open();
};

}  // namespace Dialog
