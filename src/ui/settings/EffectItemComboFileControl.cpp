#include "ui/settings/EffectItemComboFileControl.h"

#include "core/FileName.h"
#include "ui/dialogs/FileDialogs.h"

namespace Component {

EffectItemComboFileControl::EffectItemComboFileControl(Window::ControlContainer& parent, EffectSetting& owner,
                                                       const std::shared_ptr<Effect::EffectBase>& edited,
                                                       Effect::EffectItemComboFile& figure)
    : EffectItemSelectBase(parent, owner, edited, figure),
      nameButton(frame, 0, 0, Window::SettingItemHeaderWidth, 0, Control::TextButtonControl::Centred) {
    nameButton.text = itemLabel(figure);
    nameButton.clickAction = [this](Control::ButtonControl&) { chooseFile(); };
    updateValue();
}

std::shared_ptr<EffectItemBaseControl> EffectItemComboFileControl::create(
    Effect::EffectItem& item, Window::ControlContainer& parent, EffectSetting& block,
    const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* figure = item.to<Effect::EffectItemComboFile>();
    if (figure == nullptr) return nullptr;
    return std::make_shared<EffectItemComboFileControl>(parent, block, effect, *figure);
}

void EffectItemComboFileControl::updateValue() {
    showValue(item->index < 0 ? fileNamePart(item->path) : optionText(item->options, item->index));
}

void EffectItemComboFileControl::selectKey(int32_t key) {
    commitChange([this, key](Edit::UpdateSection&) {
        item->setListValue(key);
        updateValue();
    });
}

void EffectItemComboFileControl::updateFile(const std::wstring& path) {
    if (path.empty()) return;
    commitChange([this, &path](Edit::UpdateSection&) {
        item->path = path;
        System::FileName::expandVariable(item->path);
        item->index = -1;
        updateValue();
    });
}

void EffectItemComboFileControl::chooseFile() {
    std::wstring path = item->path;
    if (Dialog::openFileDialog(path, dialogFilter(item->filter).c_str())) updateFile(path);
}

}  // namespace Component
