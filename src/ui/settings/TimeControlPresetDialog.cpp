#include "ui/settings/TimeControlPresetDialog.h"

#include <memory>

#include "core/TranslateService.h"
#include "effect/MovementParamsManager.h"
#include "ui/dialogs/DialogItemNameComboBox.h"
#include "ui/dialogs/DialogItemNameText.h"

namespace Component {

namespace {

std::wstring dialogText(const wchar_t* text) {
    if (!Translate::TranslateService::isActive()) return text;
    return Translate::translated(Translate::TranslateService::Table::Dialog, text);
}

}  // namespace

TimeControlPresetDialog::TimeControlPresetDialog() {
    caption = dialogText(L"プリセットを作成") + L" - " + dialogText(L"時間制御");
}

bool TimeControlPresetDialog::show(std::wstring& name, std::wstring& label) {
    Dialog::DialogItemNameText* nameItem = addItem(L"プリセット名", name);
    auto labelBox = std::make_unique<Dialog::DialogItemNameComboBox>(L"ラベル", label);
    if (const Effect::MovementParamsManager* presets = Effect::MovementParamsManager::get())
        for (const std::wstring* text : presets->getLabelList()) labelBox->choices.push_back(*text);
    Dialog::DialogItemNameComboBox* labelItem = append(std::move(labelBox));
    if (!create()) return false;
    name = nameItem->text;
    label = labelItem->text;
    return true;
}

}  // namespace Component
