#pragma once
#include <string>

#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// One name field labelled "名前"; the edited text is read back on OK.
class InputStringDialog : public DialogTemplate {
public:
    using DialogTemplate::DialogTemplate;
    // true when OK was pressed; text then holds the field.
    bool open(std::wstring& text, bool required);
};

}  // namespace Dialog
