#pragma once
#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// The high-DPI display mode (used after a restart) and the YUV conversions
// of input and output; OK shows the current frame again.
class DislpayColorSettingDialog : public DialogTemplate {
public:
    using DialogTemplate::DialogTemplate;
    bool open();
};

}  // namespace Dialog
