#pragma once
#include <string>

#include "ui/dialogs/DialogTemplate.h"

// Names a time-curve preset: a required name (it becomes the file name) and
// a label box offering the labels the presets are listed under.
namespace Component {

class TimeControlPresetDialog : public Dialog::DialogTemplate {
public:
    TimeControlPresetDialog();
    // True for OK; name and label then hold the two fields.
    bool show(std::wstring& name, std::wstring& label);
};

}  // namespace Component
