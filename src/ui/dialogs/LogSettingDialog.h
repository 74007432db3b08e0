#pragma once
#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// The logger's levels of its three sinks and its two limits.
class LogSettingDialog : public DialogTemplate {
public:
    using DialogTemplate::DialogTemplate;
    bool open();
};

}  // namespace Dialog
