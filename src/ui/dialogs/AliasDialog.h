#pragma once
#include <string>

#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// Names an alias: a required name field and a label box offering the labels
// the effects and aliases are listed under (it may be left empty). The
// caption tells what is being saved.
class AliasDialog : public DialogTemplate {
public:
    explicit AliasDialog(const std::wstring& captionSuffix);
    // True for OK; name and label then hold the two fields.
    bool show(std::wstring& name, std::wstring& label);

    // The caption "エイリアスを作成 - " + suffix, both parts in the active language.
    static std::wstring captionFor(const std::wstring& suffix);
};

}  // namespace Dialog
