#pragma once
#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// The image and audio cache budgets, the number of open files kept and the
// playback buffering time. OK stores them and applies the first three at once.
class CacheSizeDialog : public DialogTemplate {
public:
    using DialogTemplate::DialogTemplate;
    bool open();
};

}  // namespace Dialog
