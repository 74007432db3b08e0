#pragma once

#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// Two labelled decimal fields, each limited to its range.
class GridCameraDialog : public DialogTemplate {
public:
    struct Field {
        const wchar_t* label;
        float value;
        float minimum;
        float maximum;
    };

    explicit GridCameraDialog(const wchar_t* caption);

    // Shows both values; true on OK, with the entered ones written back.
    bool open(Field& first, Field& second);
};

}  // namespace Dialog
