#pragma once
#include "plugin/OutputService.h"

namespace Dialog {

// Gives the output service its save dialog with the settings strip and the
// writers their settings dialogs: the AVI formats, an integer field, and a
// menu of choices at the cursor.
void addOutputSettingDialogs(Plugin::OutputService::Presenter& presenter);

}  // namespace Dialog
