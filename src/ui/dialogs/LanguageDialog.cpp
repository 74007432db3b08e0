#include "ui/dialogs/LanguageDialog.h"

#include "core/TranslateService.h"
#include "ui/dialogs/DialogItemListBox.h"

namespace Dialog {

bool LanguageDialog::open() {
    Translate::TranslateService* translate = Translate::TranslateService::get();
    if (translate == nullptr) return false;
    auto* list = addItem(L"言語", 0);
    for (const std::wstring& name : translate->getLanguageList()) list->addItem(name);
    list->selectItem(translate->language());
    buttonMode = 1;
    if (!create()) return false;
    translate->setLanguage(list->selected > 0 ? list->choices[size_t(list->selected)] : std::wstring());
    translate->updateLanguage();
    return true;
}

}  // namespace Dialog
