#pragma once
#include <cstdint>

#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// One labelled integer field limited to a range; a value outside it is
// refused and the dialog stays open.
class InputIntegerDialog : public DialogTemplate {
public:
    using DialogTemplate::DialogTemplate;

    // True on OK; value then holds the field.
    bool open(Platform::window::WindowHandle owner, const wchar_t* label, int32_t& value, int32_t minimum,
              int32_t maximum);
};

}  // namespace Dialog
