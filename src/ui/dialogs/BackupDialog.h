#pragma once
#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// The resume and automatic backup settings and the lengths of the recent
// project and backup lists. OK stores them and applies them at once: both
// lists are trimmed to their new maxima (dropped backups lose their files)
// and the backup timer is armed again; Cancel changes nothing.
class BackupDialog : public DialogTemplate {
public:
    using DialogTemplate::DialogTemplate;
    bool open();
};

}  // namespace Dialog
